#include "input/convert.h"

#include <gtest/gtest.h>

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
        "<HTML>", "<head>",
        "<meta http-equiv=\"content-type\"  content=\"text/HTML; charset=utf-8\">",
        "<title>", "htm_wrk\\notes.htm", "</title>", "</head>", "<body>", "<pre>"};
    expected.insert(expected.end(), c.lines.begin(), c.lines.end());
    expected.insert(expected.end(), {"</pre>", "</body>", "</html>"});
    EXPECT_EQ(testing_support::ReadLines(t.root() / "htm_wrk" / "notes.htm"), expected) << c.text;
  }
}

// A word's column has six characters: a page line near a million bytes
// would break the order of the word records, so long lines are cut.
TEST(ConvertTest, LongLinesAreCutBetweenWords) {
  const std::string word(999, 'w');
  std::string spaced;  // 999-byte words, each with its blank: 250,000 bytes
  for (int i = 0; i < 250; ++i) spaced += word + " ";
  const std::string unbroken = "\xC3\xA9" + std::string(99997, 'u') + "\xE2\x82\xAC" + "tail";
  // 70,001 bytes of text, 100,001 once its "<" are written "&lt;".
  const std::string escaped = std::string(60000, 'w') + " " + std::string(10000, '<');
  testing_support::TestRun t;
  testing_support::WriteFile(t.root() / "txt_wrk" / "a.txt",
                             spaced + "\n" + unbroken + "\n" + escaped + "\n");
  std::filesystem::create_directory(t.root() / "htm_wrk");
  WritePage(t.run(), "txt_wrk\\a.txt", "htm_wrk\\a.htm");
  std::vector<std::string> lines = testing_support::ReadLines(t.root() / "htm_wrk" / "a.htm");
  std::vector<std::string> text(lines.begin() + 9, lines.end() - 3);
  ASSERT_EQ(text.size(), 7u);
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
}

TEST(ConvertTest, PageFileNameEndsAtTheFirstTxt) {
  EXPECT_EQ(PageFileName("notes.TXT").value_or(""), "notes.htm");
  EXPECT_EQ(PageFileName(" a_2.txt.txt ").value_or(""), "a_2.htm");
  EXPECT_FALSE(PageFileName("readme").has_value());
}

}  // namespace
}  // namespace input
