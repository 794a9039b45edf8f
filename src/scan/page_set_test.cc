#include "scan/page_set.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "scan/line_scan.h"
#include "support/test_run.h"

namespace scan {
namespace {

using testing_support::ReadFile;
using testing_support::ReadLines;
using testing_support::TestRun;
using testing_support::WriteFile;

// Cleans `lines` as one page; a dropped line gives "(dropped)".
std::vector<std::string> CleanPage(const std::vector<std::string>& lines) {
  bool table_mode = false;
  std::vector<std::string> out;
  std::string text;
  for (const std::string& line : lines) {
    out.push_back(CleanLine(line, &table_mode, &text) ? text : "(dropped)");
  }
  return out;
}

TEST(PageSetTest, CleanLine) {
  struct Case {
    const char* rule;
    std::string line;
    std::string cleaned;
  };
  const Case cases[] = {
      {"leading spaces made visible", "   total 12", "<br>&nbsp;&nbsp;&nbsp;   total 12"},
      {"skeleton line", "<body>", "<br><body>"},
      {"wrapper opening", "<pre>", "(dropped)"},
      {"wrapper closing", "  </pre>  ", "(dropped)"},
      {"a wrapper line with spaces around it", "  <pre> ", "(dropped)"},
      {"a line mentioning <pre> stays", "wrap code in <pre> blocks",
       "<br>wrap code in <pre> blocks"},
      {"a line mentioning </pre> stays", "</pre> ends it", "<br></pre> ends it"},
      {"the wrapper tests are case-sensitive", "</PRE>", "<br></PRE>"},
      {"only spaces", "     ", "<br>"},
      {"empty", "", "<br>"},
      {"already a line break", "<br>already", "<br>already"},
      {"a line break after spaces gets another", "  <br>x", "<br>&nbsp;&nbsp;  <br>x"},
      {"tab, vertical tab, form feed, CR become blanks", "a\tb\vc\fd\re", "<br>a b c d e"},
      {"a leading tab is a blank, not a leading space", "\tx", "<br> x"},
      {"other bytes below 16 removed", std::string("x\x01\x08\x0a\x0e\x0f\x10y"), "<br>x\x10y"},
      {"UTF-8 stays", "\xC3\xA9t\xC3\xA9", "<br>\xC3\xA9t\xC3\xA9"},
      {"trailing spaces removed", "abc   ", "<br>abc"},
  };
  for (const Case& c : cases) EXPECT_EQ(CleanPage({c.line}).front(), c.cleaned) << c.rule;
}

// Through the word scanner: the tabs of a cleaned line part its words.
TEST(PageSetTest, TabSeparatedLineGivesSeparateWords) {
  std::string cleaned = CleanPage({"name\tage\tcity\v\fzip"}).front();
  PageScan scan;
  std::vector<Word> words;
  ASSERT_TRUE(ScanLine(cleaned, scan, &words));
  std::vector<std::string> texts;
  for (const Word& word : words) texts.emplace_back(word.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"name", "age", "city", "zip"}));
}

TEST(PageSetTest, TableLinesAreCopiedUnchanged) {
  EXPECT_EQ(CleanPage({"before", "<TABLE border=1>", "  <tr>\t<td>x</td>  ", "</table>", "after"}),
            (std::vector<std::string>{"<br>before", "<TABLE border=1>", "  <tr>\t<td>x</td>",
                                      "<br></table>", "<br>after"}));
  // "<table" without its blank opens no table.
  EXPECT_EQ(CleanPage({"<table>", " x"}),
            (std::vector<std::string>{"<br><table>", "<br>&nbsp; x"}));
}

TEST(PageSetTest, PageNumberWidth) {
  const std::pair<long long, int> cases[] = {
      {1, 2},    {2, 2},     {10, 2},     {11, 3},     {100, 3},     {101, 4},     {1000, 4},
      {1001, 5}, {10001, 6}, {100000, 6}, {100001, 7}, {1000000, 7}, {1000001, 8}, {99999999, 8},
  };
  for (const auto& [count, width] : cases) EXPECT_EQ(PageNumberWidth(count), width) << count;
}

// Fills htm_in with the promotional page and `names`, each a one-line page
// holding its own name.
void FillPages(TestRun& t, const std::vector<std::string>& names) {
  WriteFile(t.root() / "htm_in" / "f_promote.htm", "promo\r\n");
  for (const std::string& name : names) WriteFile(t.root() / "htm_in" / name, name + "\r\n");
}

TEST(PageSetTest, PromotionalPageComesFirst) {
  TestRun t;
  FillPages(t, {"a.htm", "B.htm", "my_f_promote.htm", "e.htm"});
  AssemblePageSet(t.run());
  EXPECT_EQ(
      ReadLines(t.root() / "dir_01.txt"),
      (std::vector<std::string>{"f_promote.htm", "a.htm", "b.htm", "e.htm", "my_f_promote.htm"}));
  EXPECT_EQ(t.run().page_number_width, 2);
  EXPECT_EQ(ReadFile(t.root() / "page_01.htm"), "<br>promo\r\n");
  EXPECT_EQ(ReadFile(t.root() / "page_03.htm"), "<br>B.htm\r\n");
  EXPECT_EQ(ReadFile(t.root() / "page_05.htm"), "<br>my_f_promote.htm\r\n");
  EXPECT_EQ(t.OutLines(), (std::vector<std::string>{"", "processed 1%"}));
}

TEST(PageSetTest, PageNumbersWidenAtElevenPages) {
  for (int inputs : {9, 10}) {
    TestRun t;
    std::vector<std::string> names;
    for (int k = 0; k < inputs; ++k) names.push_back("p" + std::to_string(k) + ".htm");
    FillPages(t, names);
    AssemblePageSet(t.run());
    const bool wide = inputs + 1 > 10;
    EXPECT_EQ(t.run().page_number_width, wide ? 3 : 2);
    EXPECT_EQ(ReadFile(t.root() / (wide ? "page_001.htm" : "page_01.htm")), "<br>promo\r\n");
    EXPECT_FALSE(ReadFile(t.root() / (wide ? "page_011.htm" : "page_10.htm")).empty());
    EXPECT_TRUE(ReadFile(t.root() / (wide ? "page_012.htm" : "page_11.htm")).empty());
  }
}

// A converted page: its skeleton's wrapper lines go, a text line that
// mentions them stays.
TEST(PageSetTest, OnlyTheWrapperLinesOfAPageAreDropped) {
  TestRun t;
  WriteFile(t.root() / "htm_in" / "f_promote.htm", "promo\r\n");
  WriteFile(t.root() / "htm_in" / "a.htm",
            "<body>\r\n<pre>\r\nwrap code in <pre> blocks\r\n  </pre>\r\n</body>\r\n");
  AssemblePageSet(t.run());
  EXPECT_EQ(
      ReadLines(t.root() / "page_02.htm"),
      (std::vector<std::string>{"<br><body>", "<br>wrap code in <pre> blocks", "<br></body>"}));
}

TEST(PageSetTest, OpenTableDoesNotLeakIntoTheNextPage) {
  TestRun t;
  WriteFile(t.root() / "htm_in" / "f_promote.htm", "promo\r\n");
  WriteFile(t.root() / "htm_in" / "a.htm", "<pre>\r\n<table border=1>\r\n  <tr>\r\n");
  WriteFile(t.root() / "htm_in" / "b.htm", "<pre>\r\n  text\r\n</pre>\r\n");
  AssemblePageSet(t.run());
  EXPECT_EQ(ReadFile(t.root() / "page_02.htm"), "<table border=1>\r\n  <tr>\r\n");
  EXPECT_EQ(ReadFile(t.root() / "page_03.htm"), "<br>&nbsp;&nbsp;  text\r\n");
}

}  // namespace
}  // namespace scan
