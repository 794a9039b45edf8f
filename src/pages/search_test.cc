#include "pages/search.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/record.h"
#include "support/test_run.h"

namespace pages {
namespace {

using testing_support::ReadLines;
using testing_support::TestRun;
using testing_support::WriteFile;
using Lines = std::vector<std::string>;

// One wrd_12 record: page, line, column, word, word id, occurrence.
std::string Rec(const std::string& page, int line, const std::string& word, const std::string& id,
                int occurrence) {
  std::string line_field = std::to_string(line);
  std::string record;
  common::AppendRecord(record, {page, std::string(10 - line_field.size(), ' ') + line_field,
                                "     1", word, id, std::to_string(occurrence)});
  return record + "\r\n";
}

// The lines of s_1.htm after its head and highlight script, without the
// two closing lines.
Lines SearchLines(TestRun& t, const std::string& records) {
  WriteFile(t.root() / "wrd_12_1.txt", records);
  SplitMix64 random;
  WriteSearchPage(t.run(), 1, random);
  Lines page = ReadLines(t.root() / "s_1.htm");
  EXPECT_GE(page.size(), 24u);
  EXPECT_EQ(page[6], "<title>search.htm, content (only words) from input *.htm files</title>");
  EXPECT_EQ(page[11], "<script language=\"javascript\">");
  EXPECT_EQ(page[page.size() - 2], "</body> <br>");
  EXPECT_EQ(page[page.size() - 1], "</html> <br>");
  return Lines(page.begin() + 22, page.end() - 2);
}

std::string First(const std::string& id, int occurrence, const std::string& word) {
  return "<span id=\"" + id + "_" + std::to_string(occurrence) + "\">" + word +
         " &nbsp </span>&nbsp <a href=\"i_1.htm#" + id + "\">" + word + "</a></span>";
}

std::string Other(const std::string& id, int occurrence, const std::string& word) {
  return " <span id=\"" + id + "_" + std::to_string(occurrence) + "\"><a href=\"i_1.htm#" + id +
         "\">" + word + "</a></span>";
}

Lines Trailer(const std::string& id, const std::string& page, const std::string& phrase,
              const std::vector<std::string>& sites) {
  Lines lines = {"<a href=\"i_1.htm#" + id + "\">i_1</a>",
                 "&nbsp <a href=\"index.htm#" + id + "\">index</a>",
                 "&nbsp <a href=\"files_list.htm#" + page + "\"> Content (" + page + ")</a>"};
  for (const std::string& site : sites) {
    lines.push_back("&nbsp <a href=\"https://www.google.com/search?q=" + phrase + " site:" + site +
                    "\"> " + site + "</a>");
  }
  lines.push_back("&nbsp <a href=\"https://www.google.com/search?q=" + phrase + "\"> web_search </a>");
  lines.push_back("<br><br>");
  return lines;
}

TEST(SearchPageTest, TextLinesWithTheirTrailers) {
  TestRun t;
  t.run().destination_address = "www.example.net";
  // The first text line of the page starts in the second form; later lines
  // start in the first form. A page change with an equal line field goes on.
  Lines got = SearchLines(t, Rec("page_01.htm", 1, "one", "id00000005", 1) +
                                 Rec("page_01.htm", 4, "cat", "id00000001", 1) +
                                 Rec("page_01.htm", 4, "cat", "id00000001", 2) +
                                 Rec("page_02.htm", 4, "dog", "id00000002", 1) +
                                 Rec("page_02.htm", 5, "end", "id00000003", 1));
  Lines expected = {Other("id00000005", 1, "one") + "<br>"};
  const std::vector<std::string> sites = {"www.example.net", "www.example.com"};
  for (const std::string& line : Trailer("id00000005", "page_01.htm", "one ", sites)) {
    expected.push_back(line);
  }
  expected.push_back(First("id00000001", 1, "cat") + Other("id00000001", 2, "cat") +
                     Other("id00000002", 1, "dog") + "<br>");
  for (const std::string& line : Trailer("id00000001", "page_01.htm", "cat cat dog ", sites)) {
    expected.push_back(line);
  }
  expected.push_back(First("id00000003", 1, "end") + "<br>");
  for (const std::string& line : Trailer("id00000003", "page_02.htm", "end ", sites)) {
    expected.push_back(line);
  }
  EXPECT_EQ(got, expected);
}

TEST(SearchPageTest, OnlyWebSearchWithoutAddressesAndHtmlEndHidesWordsLine) {
  TestRun t;
  t.run().target_site.clear();
  Lines got = SearchLines(t, Rec("page_01.htm", 1, "a</HTML>b", "id00000000", 1));
  EXPECT_EQ(got, Trailer("id00000000", "page_01.htm", "a</HTML>b ", {}));
}

// The query of a line of `count` words w01, w02, ...
std::string QueryOf(int count) {
  TestRun t;
  t.run().target_site.clear();
  std::string records;
  for (int i = 1; i <= count; ++i) {
    std::string word = (i < 10 ? "w0" : "w") + std::to_string(i);
    records += Rec("page_01.htm", 1, word, "id0000" + std::to_string(1000 + i), 1);
  }
  Lines got = SearchLines(t, records);
  EXPECT_EQ(got.size(), 6u);
  std::string prefix = "&nbsp <a href=\"https://www.google.com/search?q=";
  std::string link = got.size() > 4 ? got[4] : "";
  size_t end = link.find("\"> web_search");
  return link.substr(prefix.size(), end - prefix.size());
}

TEST(SearchPageTest, LongLinesGetARandomPhrase) {
  std::string all;
  for (int i = 1; i <= 28; ++i) all += (i < 10 ? "w0" : "w") + std::to_string(i) + " ";
  EXPECT_EQ(QueryOf(28), all);

  std::string phrase = QueryOf(29);
  ASSERT_FALSE(phrase.empty());
  EXPECT_EQ(phrase[0], ' ');
  std::istringstream words(phrase);
  std::set<std::string> seen;
  std::string word;
  int picks = 0;
  while (words >> word) {
    ++picks;
    EXPECT_TRUE(seen.insert(word).second) << word;
    EXPECT_NE(word, "w01");
    EXPECT_TRUE(word >= "w02" && word <= "w29") << word;
  }
  EXPECT_LE(picks, 28);
  EXPECT_GT(picks, 1);
  EXPECT_EQ(QueryOf(29), phrase);  // a fresh generator gives the same picks
}

TEST(SearchPageTest, GeneratorIsSplitMix64FromZero) {
  SplitMix64 random;
  EXPECT_EQ(random.Next(), 0xe220a8397b1dcdafULL);
  EXPECT_EQ(random.Next(), 0x6e789e6aa1b965f4ULL);
  SplitMix64 unit;
  EXPECT_DOUBLE_EQ(unit.NextUnit(), static_cast<double>(0xe220a8397b1dcdafULL >> 11) / 9007199254740992.0);
}

TEST(SearchPageTest, PhraseSlotsCanPickTheLastWordButNeverTheFirst) {
  // The draws run over the list without its last word, but a draw that
  // lands on the blank before the last word picks it.
  struct Case {
    std::string list;
    size_t before_last;
    std::set<std::string> picks;
  };
  const Case cases[] = {{"a b c ", 4, {"b", "c"}}, {"aa bb cc dd ", 9, {"bb", "cc", "dd"}}};
  for (const Case& c : cases) {
    SplitMix64 random;
    std::istringstream words(RandomPhrase(c.list, c.before_last, random));
    std::set<std::string> picks;
    std::string word;
    while (words >> word) EXPECT_TRUE(picks.insert(word).second) << word;
    EXPECT_EQ(picks, c.picks) << c.list;
  }
}

}  // namespace
}  // namespace pages
