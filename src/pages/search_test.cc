#include "pages/search.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_run.h"

namespace pages {
namespace {

using testing_support::ReadLines;
using testing_support::TestRun;
using Lines = std::vector<std::string>;

// One word of a search page: page, line, word, word id, occurrence.
struct Word {
  std::string page;
  long long line;
  std::string word, id;
  long long occurrence;
};
using Rec = std::vector<Word>;
Rec R(const std::string& page, long long line, const std::string& word, const std::string& id,
      long long occurrence) {
  return {Word{page, line, word, id, occurrence}};
}

Rec operator+(Rec a, const Rec& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Writes s_1.htm from the words and returns its lines after the head and
// the highlight script, without the two closing lines.
Lines SearchLines(TestRun& t, const Rec& words) {
  SplitMix64 random;
  const runctx::RunContext& run = t.run();
  const SearchPlace place{&run.settings, "1", run.destination_address, run.target_site};
  PageWriter out(platform::LineWriter(t.run().paths.Create(t.root() / "s_1.htm")),
                 PageLayout::kInBlocks);
  SearchPageWriter writer(place, out, random);
  for (const Word& w : words) writer.Add(SearchWord{w.page, w.line, w.word, w.id, w.occurrence});
  writer.Finish();
  Lines page = ReadLines(t.root() / "s_1.htm");
  EXPECT_GE(page.size(), 24u);
  if (page.size() < 24) return {};
  EXPECT_EQ(page[6], "<title>search.htm, content (only words) from input *.htm files</title>");
  EXPECT_EQ(Lines(page.end() - 2, page.end()), Lines({"</body> <br>", "</html> <br>"}));
  return Lines(page.begin() + 22, page.end() - 2);
}

std::string First(const std::string& id, const std::string& word) {
  return "<span id=\"" + id + "_1\">" + word + " &nbsp </span>&nbsp <a href=\"i_1.htm#" + id +
         "\">" + word + "</a></span>";
}

std::string Other(const std::string& id, int occurrence, const std::string& word) {
  return " <span id=\"" + id + "_" + std::to_string(occurrence) + "\"><a href=\"i_1.htm#" + id +
         "\">" + word + "</a></span>";
}

void AddTrailer(Lines& lines, const std::string& id, const std::string& page,
                const std::string& phrase, const Lines& sites) {
  lines.push_back("<a href=\"i_1.htm#" + id + "\">i_1</a>");
  lines.push_back("&nbsp <a href=\"index.htm#" + id + "\">index</a>");
  lines.push_back("&nbsp <a href=\"files_list.htm#" + page + "\"> Content (" + page + ")</a>");
  const std::string search = "&nbsp <a href=\"https://www.google.com/search?q=" + phrase;
  for (const std::string& site : sites)
    lines.push_back(search + " site:" + site + "\"> " + site + "</a>");
  lines.push_back(search + "\"> web_search </a>");
  lines.push_back("<br><br>");
}

TEST(SearchTest, TextLinesWithTheirTrailers) {
  TestRun t;
  t.run().destination_address = "www.example.net";
  // The page's first text line starts in the second form, later lines in the
  // first form; a page change with an equal line field continues the line.
  Lines got = SearchLines(t, R("page_01.htm", 1, "one", "id00000005", 1) +
                                 R("page_01.htm", 4, "cat", "id00000001", 1) +
                                 R("page_01.htm", 4, "cat", "id00000001", 2) +
                                 R("page_02.htm", 4, "dog", "id00000002", 1) +
                                 R("page_02.htm", 5, "end", "id00000003", 1));
  const Lines sites = {"www.example.net", "www.example.com"};
  Lines expected = {Other("id00000005", 1, "one") + "<br>"};
  AddTrailer(expected, "id00000005", "page_01.htm", "one ", sites);
  expected.push_back(First("id00000001", "cat") + Other("id00000001", 2, "cat") +
                     Other("id00000002", 1, "dog") + "<br>");
  AddTrailer(expected, "id00000001", "page_01.htm", "cat cat dog ", sites);
  expected.push_back(First("id00000003", "end") + "<br>");
  AddTrailer(expected, "id00000003", "page_02.htm", "end ", sites);
  EXPECT_EQ(got, expected);
}

TEST(SearchTest, HtmlEndHidesTheWordsLineAndEmptyAddressesOnlyWebSearch) {
  TestRun t;
  t.run().target_site.clear();
  Lines expected;
  AddTrailer(expected, "id00000000", "page_01.htm", "a%3C/HTML%3Eb ", {});
  EXPECT_EQ(SearchLines(t, R("page_01.htm", 1, "a</HTML>b", "id00000000", 1)), expected);
}

// Queries keep the words and the site restriction whole; the address typed
// at the prompt cannot close the attribute or add markup.
TEST(SearchTest, QueriesAreEncodedAndTheAddressIsEscaped) {
  TestRun t;
  t.run().destination_address = "x\"><script>a&b</script>";
  // A "<" of the text is "&lt;" in the word; the query searches for "<".
  Lines got = SearchLines(t, R("page_01.htm", 1, "C#&C++", "id00000000", 1) +
                                 R("page_01.htm", 1, "50%", "id00000001", 1) +
                                 R("page_01.htm", 1, "&lt;stdio.h>&amp;lt;", "id00000002", 1));
  ASSERT_EQ(got.size(), 8u);
  const std::string search =
      "&nbsp <a href=\"https://www.google.com/search?q=C%23%26C%2B%2B 50%25 "
      "%3Cstdio.h%3E%26amp;lt; ";
  EXPECT_EQ(Lines(got.begin() + 4, got.begin() + 7),
            Lines({search + " site:x%22%3E%3Cscript%3Ea%26b%3C/script%3E\">"
                            " x&quot;&gt;&lt;script&gt;a&amp;b&lt;/script&gt;</a>",
                   search + " site:www.example.com\"> www.example.com</a>",
                   search + "\"> web_search </a>"}));
}

TEST(SearchTest, HighlightScriptFollowsTheSettings) {
  TestRun t;
  t.run().settings.font_color = "blue";
  t.run().settings.font_size = "90%";
  SearchLines(t, {});
  Lines page = ReadLines(t.root() / "s_1.htm");
  ASSERT_EQ(page.size(), 24u);
  EXPECT_EQ(Lines(page.begin() + 11, page.begin() + 22),
            Lines({"<script language=\"javascript\">", "if (history.length > 0)", "{",
                   "document.writeln(\"<style type=\\\"text/css\\\">\");",
                   "document.writeln(self.location.hash + \" { color: blue } \");",
                   "document.writeln(self.location.hash + \" { font-size: 90% } \");",
                   "document.writeln(self.location.hash + \" { font-weight: bold } \");",
                   "document.writeln(self.location.hash + \" { display: inline } \");",
                   "document.writeln(\"</style>\");", "}", "</script>"}));
}

// The query of one line of `count` words w01, w02, ...
std::string QueryOf(int count) {
  TestRun t;
  t.run().target_site.clear();
  Rec records;
  for (int i = 1; i <= count; ++i) {
    records = records + R("page_01.htm", 1, (i < 10 ? "w0" : "w") + std::to_string(i),
                          "id" + std::to_string(10000000 + i), 1);
  }
  Lines got = SearchLines(t, records);
  if (got.size() != 6u) return "";
  const std::string prefix = "&nbsp <a href=\"https://www.google.com/search?q=";
  return got[4].substr(prefix.size(), got[4].find("\"> web_search") - prefix.size());
}

TEST(SearchTest, LinesOf29WordsGetARandomPhrase) {
  std::string all;
  for (int i = 1; i <= 28; ++i) all += (i < 10 ? "w0" : "w") + std::to_string(i) + " ";
  EXPECT_EQ(QueryOf(28), all);

  std::string phrase = QueryOf(29);
  ASSERT_FALSE(phrase.empty());
  EXPECT_EQ(phrase[0], ' ');
  std::istringstream words(phrase);
  std::set<std::string> picks;
  for (std::string word; words >> word;) {
    EXPECT_TRUE(picks.insert(word).second) << word;
    EXPECT_TRUE(word >= "w02" && word <= "w29") << word;  // never the first word
  }
  EXPECT_GT(picks.size(), 1u);
  EXPECT_EQ(QueryOf(29), phrase);  // the generator starts afresh: the same picks
}

TEST(SearchTest, PhraseSlotsCanPickTheLastWordButNeverTheFirst) {
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
    for (std::string word; words >> word;) EXPECT_TRUE(picks.insert(word).second) << word;
    EXPECT_EQ(picks, c.picks) << c.list;
  }
  SplitMix64 random;
  EXPECT_EQ(random.Next(), 0xe220a8397b1dcdafULL);
  EXPECT_EQ(random.Next(), 0x6e789e6aa1b965f4ULL);
}

}  // namespace
}  // namespace pages
