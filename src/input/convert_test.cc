#include "input/convert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/test_run.h"

namespace input {
namespace {

TEST(ConvertTest, PageHoldsTheDecodedTextWithTextAnglesEscapedAndNoTrailingSpaces) {
  using namespace std::string_literals;
  struct Case {
    std::string text;
    std::vector<std::string> lines;
    bool windows_1252 = false;
  } cases[] = {
      {"", {}},
      {"a < b\r\n<b>x</b> &amp;\n", {"a &lt; b", "<b>x</b> &amp;"}},
      {"  lead\ttab\t  \n      \nlast   ", {"  lead\ttab\t", "", "last"}},
      // Only the mark that opens the text is dropped.
      {"\xEF\xBB\xBFword\r\n\xEF\xBB\xBFtwo\r\n", {"word", "\xEF\xBB\xBFtwo"}},
      // Decoded first: the mark of UTF-16 text, then the markup of the text.
      {"\xFF\xFE\xFF\xFE<\0i\0>\0 \0\r\0\n\0<\0/\0i\0>\0<\0q\0"s, {"<i>", "</i>&lt;q"}},
      {"\xE9t\xE9 <a\n", {"\xC3\xA9t\xC3\xA9 &lt;a"}, true},
  };
  for (const Case& c : cases) {
    testing_support::TestRun t;
    testing_support::WriteFile(t.root() / "txt_wrk" / "notes.TXT", c.text);
    std::filesystem::create_directory(t.root() / "htm_wrk");
    EXPECT_EQ(WritePage(t.run(), "txt_wrk\\notes.TXT", "htm_wrk\\notes.htm"), c.windows_1252);
    std::vector<std::string> expected = {
        "<HTML>",
        "<head>",
        "<meta http-equiv=\"content-type\"  content=\"text/HTML; charset=utf-8\">",
        "<title>",
        "htm_wrk\\notes.htm",
        "</title>",
        "</head>",
        "<body>",
        "<pre>"};
    expected.insert(expected.end(), c.lines.begin(), c.lines.end());
    expected.insert(expected.end(), {"</pre>", "</body>", "</html>"});
    EXPECT_EQ(testing_support::ReadLines(t.root() / "htm_wrk" / "notes.htm"), expected) << c.text;
  }
}

// The pages made in htm_wrk, in name order, each with the text lines
// between its skeleton's; the skeleton is checked, titled with the page.
std::vector<std::pair<std::string, std::vector<std::string>>> Parts(testing_support::TestRun& t) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(t.root() / "htm_wrk")) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  std::vector<std::pair<std::string, std::vector<std::string>>> parts;
  for (const std::string& name : names) {
    std::vector<std::string> lines = testing_support::ReadLines(t.root() / "htm_wrk" / name);
    EXPECT_GE(lines.size(), 12u) << name;
    if (lines.size() < 12) continue;
    EXPECT_EQ(lines[4], "htm_wrk\\" + name);
    EXPECT_EQ(lines[8], "<pre>");
    EXPECT_EQ(lines[lines.size() - 3], "</pre>");
    parts.emplace_back(name, std::vector<std::string>(lines.begin() + 9, lines.end() - 3));
  }
  return parts;
}

// A text whose page lines come to more than 200,000 bytes (ends counted as
// two) becomes parts, each taking lines while it stays within 200,000.
TEST(ConvertTest, LongTextsBecomePartsOfAtMost200000Bytes) {
  struct Case {
    std::string label;
    std::string text;
    std::vector<std::pair<std::string, size_t>> parts;  // name, text lines
  };
  auto lines = [](size_t count, size_t size) {
    std::string text;
    for (size_t i = 0; i < count; ++i) text += std::string(size, 'w') + "\n";
    return text;
  };
  const Case cases[] = {
      {"exactly 200,000", lines(2000, 98), {{"a.htm", 2000}}},
      {"one byte more",
       lines(1999, 98) + std::string(99, 'w') + "\n",
       {{"a~1.htm", 1999}, {"a~2.htm", 1}}},
      // Trailing blanks are not counted; each "<" written "&lt;" counts four.
      {"trimmed", lines(1999, 98) + std::string(98, 'w') + "   \n", {{"a.htm", 2000}}},
      {"escaped",
       lines(1999, 98) + std::string(97, 'w') + "<\n",
       {{"a~1.htm", 1999}, {"a~2.htm", 1}}},
      {"nine parts",
       lines(18, 99998),
       {{"a~1.htm", 2},
        {"a~2.htm", 2},
        {"a~3.htm", 2},
        {"a~4.htm", 2},
        {"a~5.htm", 2},
        {"a~6.htm", 2},
        {"a~7.htm", 2},
        {"a~8.htm", 2},
        {"a~9.htm", 2}}},
      {"ten parts",
       lines(19, 99998),
       {{"a~01.htm", 2},
        {"a~02.htm", 2},
        {"a~03.htm", 2},
        {"a~04.htm", 2},
        {"a~05.htm", 2},
        {"a~06.htm", 2},
        {"a~07.htm", 2},
        {"a~08.htm", 2},
        {"a~09.htm", 2},
        {"a~10.htm", 1}}},
      // One text line cut into page lines of 100,000, 100,000 and 50,000.
      {"one long line", std::string(250000, 'w'), {{"a~1.htm", 1}, {"a~2.htm", 2}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    testing_support::TestRun t;
    testing_support::WriteFile(t.root() / "txt_wrk" / "a.txt", c.text);
    std::filesystem::create_directory(t.root() / "htm_wrk");
    WritePage(t.run(), "txt_wrk\\a.txt", "htm_wrk\\a.htm");
    std::vector<std::pair<std::string, size_t>> made;
    std::string joined;
    for (const auto& [name, text] : Parts(t)) {
      made.emplace_back(name, text.size());
      size_t bytes = 0;
      for (const std::string& line : text) bytes += line.size() + 2;
      EXPECT_LE(bytes, 200000u) << name;
      for (const std::string& line : text) joined += line + "\n";
    }
    EXPECT_EQ(made, c.parts);
    // The parts hold the page lines one page would, in order.
    if (c.label == "ten parts") {
      EXPECT_TRUE(joined == c.text);  // not printed: 1.9 MB
    }
  }
}

// A word's column has six characters: a page line near a million bytes
// would break the order of the word records, so long lines are cut. A line
// longer than a piece is read a piece at a time and cut as it comes.
TEST(ConvertTest, LongLinesAreCutBetweenWords) {
  const std::string word(999, 'w');
  std::string spaced;  // 999-byte words, each with its blank: 250,000 bytes
  for (int i = 0; i < 250; ++i) spaced += word + " ";
  const std::string unbroken = "\xC3\xA9" + std::string(99997, 'u') + "\xE2\x82\xAC" + "tail";
  // 70,001 bytes of text, 100,001 once its "<" are written "&lt;".
  const std::string escaped = std::string(60000, 'w') + " " + std::string(10000, '<');
  const std::string blanks(200000, ' ');
  const std::string angles = "x" + std::string(1 << 20, '<');
  testing_support::TestRun t;
  testing_support::WriteFile(t.root() / "txt_wrk" / "a.txt",
                             spaced + "\n" + unbroken + "\n" + escaped + "\n" + "a" + blanks +
                                 "b\n" + "a" + blanks + "\n" + angles + "\n");
  std::filesystem::create_directory(t.root() / "htm_wrk");
  WritePage(t.run(), "txt_wrk\\a.txt", "htm_wrk\\a.htm");
  std::vector<std::string> text;
  for (const auto& [name, lines] : Parts(t)) text.insert(text.end(), lines.begin(), lines.end());
  ASSERT_EQ(text.size(), 11u + 42);
  // Cut after the last blank within 100,000 bytes; the blank goes.
  EXPECT_EQ(text[0], spaced.substr(0, 99999));
  EXPECT_EQ(text[1], spaced.substr(100000, 99999));
  EXPECT_EQ(text[2], spaced.substr(200000, 49999));
  // No blank: cut at the limit, but before the euro sign's first byte.
  EXPECT_EQ(text[3], unbroken.substr(0, 99999));
  EXPECT_EQ(text[4], unbroken.substr(99999));
  // The limit holds for the line as written, its "&lt;" included.
  EXPECT_EQ(text[5], std::string(60000, 'w'));
  EXPECT_EQ(text[6].size(), 40000u);
  // Blanks are cut as other bytes; those that end the line go first.
  EXPECT_EQ(text[7], "a");
  EXPECT_EQ(text[8], "");
  EXPECT_EQ(text[9], "b");
  EXPECT_EQ(text[10], "a");
  // A cut never splits an "&lt;": each piece is "&lt;" whole, the first
  // after the "x".
  std::string first = "x";
  for (int i = 0; i < 24999; ++i) first += "&lt;";  // cut back from 100,001 to 99,997 bytes
  EXPECT_TRUE(text[11] == first);
  size_t entities = 0;
  for (size_t line = 12; line < text.size(); ++line) {
    const std::string& piece = text[line];
    ASSERT_EQ(piece.size() % 4, 0u) << line;
    for (size_t at = 0; at < piece.size(); at += 4) ASSERT_EQ(piece.substr(at, 4), "&lt;") << line;
    entities += piece.size() / 4;
  }
  EXPECT_EQ(entities + 24999, size_t{1} << 20);
}

TEST(ConvertTest, PageFileNameEndsAtTheFirstTxt) {
  EXPECT_EQ(PageFileName("notes.TXT").value_or(""), "notes.htm");
  EXPECT_EQ(PageFileName(" a_2.txt.txt ").value_or(""), "a_2.htm");
  EXPECT_FALSE(PageFileName("readme").has_value());
}

}  // namespace
}  // namespace input
