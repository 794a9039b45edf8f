#include "pages/word_index.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/record.h"
#include "driver/conventions.h"
#include "pages/contents.h"
#include "pages/page_list.h"
#include "pages/pages.h"
#include "params/promote.h"
#include "support/test_run.h"

namespace pages {
namespace {

using testing_support::ReadLines;
using testing_support::TestRun;
using testing_support::WriteFile;
using Lines = std::vector<std::string>;

// One wrd_14 record: word id, page, line, column, word, word id, occurrence.
std::string Rec(const std::string& id, const std::string& page, const std::string& word,
                int occurrence) {
  std::string record;
  common::AppendRecord(record, {id, page, "         1", "     1", word, id,
                                std::to_string(occurrence)});
  return record + "\r\n";
}

// Writes i_<group>.htm from `records` and returns the lines of its entry
// list: after the Content link and its "<br>", up to "</body>".
Lines Entries(TestRun& t, const std::string& records, int group = 1) {
  std::string g = std::to_string(group);
  WriteFile(t.root() / ("wrd_14_" + g + ".txt"), records);
  common::LineWriter out = driver::CreateFile(t.run(), "i_" + g + ".htm");
  WriteIndexHead(t.run(), out);
  long long promo_interval = 0;
  WriteIndexEntries(t.run(), out, group, promo_interval);
  Lines page = ReadLines(t.root() / ("i_" + g + ".htm"));
  Lines entries;
  bool in = false;
  for (size_t i = 0; i < page.size(); ++i) {
    if (page[i] == "</body>") in = false;
    if (in) entries.push_back(page[i]);
    if (page[i] == "<a href=\"files_list.htm\"> Content </a><br>") in = true, ++i;
  }
  return entries;
}

Lines LongEntry(const std::string& id, const std::string& page, const std::string& word,
                int count, int occurrence, const std::string& site = "www.example.com") {
  Lines lines = {"<br>",
                 "<a href=\"" + page + "#" + id + "\" id=\"" + id + "\">" + word +
                     "</a>&nbsp;&nbsp;&nbsp; (" + page + ", " + std::to_string(count) + ")",
                 "&nbsp;&nbsp;<a href=\"s_1.htm#" + id + "_" + std::to_string(occurrence) +
                     "\">s_1</a>",
                 "&nbsp;&nbsp;<a href=\"index.htm#" + id + "\"> index</a>"};
  if (!site.empty()) {
    lines.push_back("&nbsp;&nbsp; <a href=\"https://www.google.com/search?q=" + word + " site:" +
                    site + "\"> " + site + "</a>");
  }
  return lines;
}

std::string ShortEntry(const std::string& id, const std::string& page, const std::string& word,
                       int count) {
  return "<a href=\"" + page + "#" + id + "\" id=\"" + id + "\">" + word +
         "</a>&nbsp;&nbsp;&nbsp; (" + page + ", " + std::to_string(count) + ")<br>";
}

Lines PromoBlock(TestRun& t) {
  common::LineWriter out = driver::CreateFile(t.run(), "promo_expected.txt");
  params::WritePromoBlock(out);
  out.Close();
  return ReadLines(t.root() / "promo_expected.txt");
}

TEST(WordIndexPageTest, OneEntryPerWordAndPageWithCountAndFirstOccurrence) {
  TestRun t;
  std::string records = Rec("id00000000", "page_01.htm", "Water", 1) +
                        Rec("id00000000", "page_01.htm", "water", 2) +
                        Rec("id00000000", "page_02.htm", "water", 3) +
                        Rec("id00000000", "page_03.htm", "water", 4) +
                        Rec("id00000000", "page_03.htm", "WATER", 5) +
                        Rec("id00000000", "page_03.htm", "water", 6) +
                        Rec("id00000007", "page_02.htm", "a<b&c'd", 1);
  Lines expected;
  for (const Lines& entry : {LongEntry("id00000000", "page_01.htm", "Water", 2, 1),
                             LongEntry("id00000000", "page_02.htm", "water", 1, 3),
                             LongEntry("id00000000", "page_03.htm", "water", 3, 4)}) {
    expected.insert(expected.end(), entry.begin(), entry.end());
  }
  expected.push_back(ShortEntry("id00000007", "page_02.htm", "a<b&c'd", 1));
  EXPECT_EQ(Entries(t, records), expected);
}

TEST(WordIndexPageTest, NoWebSearchLinesWithoutTargetSite) {
  TestRun t;
  t.run().target_site.clear();
  Lines expected = LongEntry("id00000000", "page_01.htm", "cat", 1, 1, "");
  expected.push_back(ShortEntry("id00000001", "page_01.htm", "dog", 1));
  EXPECT_EQ(Entries(t, Rec("id00000000", "page_01.htm", "cat", 1) +
                           Rec("id00000001", "page_01.htm", "dog", 1)),
            expected);
}

TEST(WordIndexPageTest, SingleEntryAndEmptyGroup) {
  TestRun t;
  EXPECT_EQ(Entries(t, Rec("id00000000", "page_01.htm", "cat", 1)),
            Lines({ShortEntry("id00000000", "page_01.htm", "cat", 1)}));
  EXPECT_EQ(Entries(t, "", 2), Lines());
}

TEST(WordIndexPageTest, HeadHoldsPromoNoticeAndTimeStamp) {
  TestRun t;
  Entries(t, "");
  Lines page = ReadLines(t.root() / "i_1.htm");
  Lines promo = PromoBlock(t);
  ASSERT_GT(page.size(), 11 + promo.size() + 14);
  EXPECT_EQ(page[4], "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">");
  EXPECT_EQ(page[6], "<title>index of key words</title>");
  EXPECT_EQ(Lines(page.begin() + 11, page.begin() + 11 + static_cast<long>(promo.size())), promo);
  size_t at = 11 + promo.size();
  EXPECT_EQ(page[at], "<br>");
  EXPECT_EQ(page[at + 1], "QUICK AND EASY INFORMATION SEARCH");
  EXPECT_EQ(page[at + 10], "<a href=\"https://www.example.org\">https://www.example.org</a>");
  EXPECT_EQ(page[at + 12].rfind("Date (mm-dd-yy) = ", 0), 0u);
  EXPECT_EQ(page[at + 13].rfind("Time (h:m:s)    = ", 0), 0u);
  EXPECT_EQ(page[at + 14], "<br><br>");
}

// The promo interval counter runs over every word index page of the run.
TEST(WordIndexPageTest, PromoBlocksFollowEvery101stLongEntryAcrossPages) {
  TestRun t;
  t.run().target_site.clear();
  t.run().group_count = 2;
  std::string first, second;
  for (int i = 0; i < 151; ++i) first += Rec("id" + std::to_string(10000000 + i), "page_01.htm", "w", 1);
  for (int i = 0; i < 101; ++i) second += Rec("id" + std::to_string(20000000 + i), "page_02.htm", "w", 1);
  WriteFile(t.root() / "wrd_14_1.txt", first);
  WriteFile(t.root() / "wrd_14_2.txt", second);
  WriteGroupPages(t.run());
  Lines promo = PromoBlock(t);
  // Each long entry without a web-search line is four lines.
  auto promo_after = [&](const std::string& page, size_t entry) {
    Lines lines = ReadLines(t.root() / page);
    size_t start = 0;
    while (start < lines.size() && lines[start] != "<a href=\"files_list.htm\"> Content </a><br>") ++start;
    size_t at = start + 2 + 4 * entry;
    EXPECT_EQ(Lines(lines.begin() + static_cast<long>(at),
                    lines.begin() + static_cast<long>(at + promo.size())),
              promo) << page << " entry " << entry;
    EXPECT_EQ(lines[at + promo.size()], "<br>") << page;
    EXPECT_EQ(lines[at + promo.size() + 1].find("<a href=\"page_0"), 0u) << page;
  };
  promo_after("i_1.htm", 101);
  promo_after("i_2.htm", 52);  // 49 carried over from i_1.htm
}

TEST(ContentsPageTest, ListsEveryPageWithItsAnchor) {
  TestRun t;
  WriteFile(t.root() / "group_page_all_sort.txt", "page_01.htm\r\npage_03.htm\r\n");
  WriteContentsPage(t.run(), PageList::Load(t.run()));
  Lines page = ReadLines(t.root() / "files_list.htm");
  ASSERT_EQ(page.size(), 11u + 1 + 11 + 2 + 1 + 2 + 3);
  EXPECT_EQ(page[11], "<br>");
  EXPECT_EQ(page[12], "QUICK AND EASY INFORMATION SEARCH");
  EXPECT_EQ(page[25], "<br>");
  Lines tail(page.end() - 5, page.end());
  EXPECT_EQ(tail,
            Lines({"<a href=\"page_01.htm\"><span id = \"page_01.htm\" >page_01.htm</span></a><br>",
                   "<a href=\"page_03.htm\"><span id = \"page_03.htm\" >page_03.htm</span></a><br>",
                   "<br><br>", "</body>", "</html>"}));
}

}  // namespace
}  // namespace pages
