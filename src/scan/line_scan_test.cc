#include "scan/line_scan.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace scan {
namespace {

// Scans `lines` as one page. Each line gives "skip" when skipped, else its
// words as "position:text" joined by blanks (empty when it gave none).
std::vector<std::string> ScanPage(const std::vector<std::string>& lines) {
  PageScan state;
  std::vector<Word> words;
  std::vector<std::string> out;
  for (const std::string& line : lines) {
    if (!ScanLine(line, state, &words)) {
      out.push_back("skip");
      continue;
    }
    std::string text;
    for (const Word& word : words) {
      if (!text.empty()) text += ' ';
      text += std::to_string(word.position) + ":" + std::string(word.text);
    }
    out.push_back(text);
  }
  return out;
}

std::string ScanOne(const std::string& line) { return ScanPage({line}).front(); }

struct LineCase {
  const char* rule;
  std::string line;
  std::string words;
};

TEST(LineScanTest, ScanTableRows) {
  const LineCase cases[] = {
      {"separator, no tag yet; then the line end after a separator", "foo bar", "1:foo 5:bar"},
      {"separator after a tag that followed the previous separator", "<b>foo bar", "4:foo 8:bar"},
      {"separator after a separator that followed a tag", "<b>x foo bar", "6:foo 10:bar"},
      {"tag start after a tag end", "<b>foo</b>", "4:foo"},
      {"tag start after a separator", "<b>x foo<i>", "6:foo"},
      {"tag start with nothing before it", "Name<td>cell</td>", "1:Name 9:cell"},
      {"line end after a tag", "<b>foo", "4:foo"},
      {"line end after a separator", "<b>a foo", "6:foo"},
      {"line end, no span and no separator", "foobar", "1:foobar"},
      {"line ending in a separator", "foo ", "1:foo"},
      {"empty line", "", ""},
  };
  for (const LineCase& c : cases) EXPECT_EQ(ScanOne(c.line), c.words) << c.rule;
}

TEST(LineScanTest, WorkedExampleWithScanPositions) {
  PageScan state;
  std::vector<Word> words;
  ASSERT_TRUE(ScanLine("<br>Hello, big world", state, &words));
  ASSERT_EQ(words.size(), 3u);
  const size_t positions[] = {5, 12, 16};
  const size_t scan_positions[] = {11, 15, 20};
  const char* texts[] = {"Hello,", "big", "world"};
  for (size_t k = 0; k < 3; ++k) {
    EXPECT_EQ(words[k].position, positions[k]);
    EXPECT_EQ(words[k].scan_position, scan_positions[k]);
    EXPECT_EQ(words[k].text, texts[k]);
  }
}

TEST(LineScanTest, WordsKeepBytesAndNeedThreeOfThem) {
  const LineCase cases[] = {
      {"short words dropped", "<br>ab cd efg", "11:efg"},
      {"a two-byte letter makes three bytes", "<br>a\xC3\xA9 xy", "5:a\xC3\xA9"},
      {"positions count bytes", "\xC3\xA9\xC3\xA9 abc", "1:\xC3\xA9\xC3\xA9 6:abc"},
      {"a tab joins words", "abc\tdef", "1:abc\tdef"},
      {"a run of &nbsp; is a word", "<br>&nbsp;&nbsp;  total 12", "5:&nbsp;&nbsp; 19:total"},
      {"a '>' outside any tag is text", "a>b c>d", "1:a>b 5:c>d"},
  };
  for (const LineCase& c : cases) EXPECT_EQ(ScanOne(c.line), c.words) << c.rule;
}

TEST(LineScanTest, QuoteTreatment) {
  const LineCase cases[] = {
      {"surrounding quotes dropped, start moves on", "\"quoted\" words", "2:quoted 10:words"},
      {"inner quotes become apostrophes", "say\"hi\"there", "1:say'hi'there"},
      {"leading quote only", "\"abc", "2:abc"},
      {"trailing quote only", "abc\"", "1:abc"},
      {"too short once unquoted", "\"ab\"", ""},
      {"an inner quote keeps the length", "a\"b", "1:a'b"},
  };
  for (const LineCase& c : cases) EXPECT_EQ(ScanOne(c.line), c.words) << c.rule;
}

TEST(LineScanTest, LinkRuleAndLinkLines) {
  const LineCase cases[] = {
      {"one word in a link ends the line", "<br><a href=\"x.htm\">one</a> after text", ""},
      {"two words in a link do not", "<br><a href=\"x.htm\">one two</a> after text",
       "21:one 25:two 33:after 39:text"},
      {"words before the link stay", "before <a href=\"x\">one</a> after", "1:before"},
      {"promo link line", "<br> <a href=\"https://www.example.org\">https://www.example.org</a>",
       ""},
      {"a tag after the link's tag fires it even with no word", "<a href=\"x\"><b>bold words</b>",
       ""},
      {"number over the threshold", "<a href=\"#12345\">some words</a>", "skip"},
      {"threshold itself is kept", "<a href=\"#2000\">some words</a>", "17:some 22:words"},
      {"just over the threshold", "<a href=\"x2001\">some words</a>", "skip"},
      {"spaces before the number", "<a href=\"# 2500\">some words</a>", "skip"},
      {"no number reads as 0", "<a href=\"#abc\">some words</a>", "16:some 21:words"},
      {"upper-case HREF", "<A HREF=\"#9999\">some words</a>", "skip"},
      {"href with a blank before =", "<a href =\"#2500\">some words</a>", "skip"},
      {"marker before the link", "look_at: <a href=\"x\">abc def</a>", "skip"},
      {"marker after the link", "<a href=\"x\">abc def</a> look_at:", "13:abc 17:def 25:look_at:"},
  };
  for (const LineCase& c : cases) EXPECT_EQ(ScanOne(c.line), c.words) << c.rule;
}

TEST(LineScanTest, BlockTest) {
  struct Case {
    std::string line;
    const char* keyword;
    bool opens;
  };
  const Case cases[] = {
      {"<script>", "script", true},
      {"< script", "script", true},
      {"x<script src=a>", "script", true},
      {"<  x script", "script", false},          // not only spaces between
      {"<p>script</p>", "script", false},        // the "<" found lies after it
      {"script <", "script", false},             // no "<" before it
      {"postscript <script>", "script", false},  // the first occurrence counts
      {"</script>", "/script", true},
      {"<SCRIPT>", "script", false},
  };
  for (const Case& c : cases) EXPECT_EQ(BlockTest(c.line, c.keyword), c.opens) << c.line;
}

TEST(LineScanTest, ScriptBlocks) {
  EXPECT_EQ(ScanPage({"<script>var x = 1;</script>", "after line"}),
            (std::vector<std::string>{"skip", "1:after 7:line"}));
  EXPECT_EQ(ScanPage({"text <script>", "var abc;", "</script> tail", "visible words"}),
            (std::vector<std::string>{"skip", "skip", "skip", "1:visible 9:words"}));
  EXPECT_EQ(ScanPage({"<SCRIPT>", "var abc"}), (std::vector<std::string>{"", "1:var 5:abc"}));
  EXPECT_EQ(ScanPage({"<script>", "abc", "def"}),
            (std::vector<std::string>{"skip", "skip", "skip"}));
}

TEST(LineScanTest, StyleBlocks) {
  EXPECT_EQ(ScanOne("<p style=\"color:red\">text here</p>"), "22:text 27:here");
  EXPECT_EQ(ScanPage({"<STYLE>", "body {color: red}", "</STYLE>", "after text"}),
            (std::vector<std::string>{"skip", "skip", "skip", "1:after 7:text"}));
  EXPECT_EQ(ScanPage({"<style>p{}</style>", "after text"}),
            (std::vector<std::string>{"skip", "1:after 7:text"}));
  // "style=" anywhere on the line keeps a block from opening on it.
  EXPECT_EQ(ScanPage({"<style> p style=x", "abc def"}),
            (std::vector<std::string>{"11:style=x", "1:abc 5:def"}));
}

TEST(LineScanTest, TagsAcrossLines) {
  EXPECT_EQ(ScanPage({"<a", "href stuff", "more>word here"}),
            (std::vector<std::string>{"skip", "skip", "6:word 11:here"}));
  EXPECT_EQ(ScanPage({"text <b", "next> after"}), (std::vector<std::string>{"1:text", "7:after"}));
  // A tag closed at the very start of a line, and a "<" that ends one, are
  // one-byte spans: the words around them are kept.
  EXPECT_EQ(ScanPage({"<a", ">foo bar baz"}),
            (std::vector<std::string>{"skip", "2:foo 6:bar 10:baz"}));
  EXPECT_EQ(ScanPage({"abc<", "x>"}), (std::vector<std::string>{"1:abc", ""}));
  EXPECT_EQ(ScanOne("<b>word<"), "4:word");
}

// Random lines over the bytes that matter to the scanner: it never fails,
// and every word it takes stands at its position in the line.
TEST(LineScanTest, PropertyWordsPointAtTheirText) {
  const std::vector<std::string> pieces = {"<", ">",     " ",      " ",       "\"",    "a",    "bc",
                                           "Z", "href=", "script", "/script", "style", "#2500"};
  std::mt19937 random(20240607);
  PageScan state;
  std::vector<Word> words;
  size_t words_seen = 0;
  for (int n = 0; n < 5000; ++n) {
    if (n % 40 == 0) state.Reset();
    std::string line;
    const uint32_t count = random() % 24;
    for (uint32_t k = 0; k < count; ++k) line += pieces[random() % pieces.size()];
    if (!ScanLine(line, state, &words)) continue;
    size_t last_end = 0;
    for (const Word& word : words) {
      ASSERT_GE(word.text.size(), 3u) << line;
      ASSERT_GT(word.position, last_end) << line;
      ASSERT_LE(word.position + word.text.size() - 1, line.size()) << line;
      ASSERT_GE(word.scan_position, word.position) << line;
      ASSERT_LE(word.scan_position, line.size()) << line;
      for (size_t k = 0; k < word.text.size(); ++k) {
        char at = line[word.position - 1 + k];
        ASSERT_EQ(word.text[k], at == '"' ? '\'' : at) << line;
        ASSERT_NE(at, '<') << line;
        ASSERT_NE(at, ' ') << line;
      }
      last_end = word.position + word.text.size() - 1;
    }
    words_seen += words.size();
  }
  EXPECT_GT(words_seen, 1000u);  // the lines do give words
}

}  // namespace
}  // namespace scan
