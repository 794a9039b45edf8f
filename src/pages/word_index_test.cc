#include "pages/word_index.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run/promo_block.h"
#include "support/test_run.h"

namespace pages {
namespace {

using testing_support::ReadLines;
using testing_support::TestRun;
using Lines = std::vector<std::string>;

const char kContentLink[] = "<a href=\"files_list.htm\"> Content </a><br>";

// One entry: word id, page, word, first occurrence number, count.
struct Rec {
  std::string id, page, word;
  long long occurrence = 0, count = 1;
};

// The entry list of a word index page: after the Content link and its
// "<br>", up to "</body>".
Lines EntryList(const Lines& page) {
  auto begin = std::find(page.begin(), page.end(), kContentLink);
  auto end = std::find(page.begin(), page.end(), "</body>");
  if (end - begin < 2) return {};
  return Lines(begin + 2, end);
}

// Writes the head and the entries of one word index page; the promo
// interval counter goes on from `promo_interval`.
void WritePage(TestRun& t, const std::string& name, const std::vector<Rec>& records,
               long long& promo_interval) {
  PageWriter out(platform::LineWriter(t.run().paths.Create(t.root() / name)),
                 PageLayout::kInBlocks);
  WriteIndexHead(t.run().settings, platform::Now(), out);
  IndexEntryWriter writer(t.run().target_site, "1", out, promo_interval);
  for (const Rec& r : records) writer.Add(IndexEntry{r.id, r.page, r.word, r.occurrence, r.count});
  writer.Finish();
}

Lines Entries(TestRun& t, const std::vector<Rec>& records) {
  long long promo_interval = 0;
  WritePage(t, "i_1.htm", records, promo_interval);
  return EntryList(ReadLines(t.root() / "i_1.htm"));
}

std::string LinkLine(const std::string& id, const std::string& page, const std::string& word,
                     int count) {
  return "<a href=\"" + page + "#" + id + "\" id=\"" + id + "\">" + word +
         "</a>&nbsp;&nbsp;&nbsp; (" + page + ", " + std::to_string(count) + ")";
}

void AddLong(Lines& lines, const std::string& id, const std::string& page, const std::string& word,
             int count, int occurrence, bool with_site = true) {
  lines.push_back("<br>");
  lines.push_back(LinkLine(id, page, word, count));
  lines.push_back("&nbsp;&nbsp;<a href=\"s_1.htm#" + id + "_" + std::to_string(occurrence) +
                  "\">s_1</a>");
  lines.push_back("&nbsp;&nbsp;<a href=\"index.htm#" + id + "\"> index</a>");
  if (with_site) {
    lines.push_back("&nbsp;&nbsp; <a href=\"https://www.google.com/search?q=" + word +
                    " site:www.example.com\"> www.example.com</a>");
  }
}

TEST(WordIndexTest, EntriesWithCountAndFirstOccurrenceTheLastInShortForm) {
  TestRun t;
  std::vector<Rec> records = {{"id00000000", "page_01.htm", "Water", 1, 2},
                              {"id00000000", "page_02.htm", "water", 3, 1},
                              {"id00000000", "page_03.htm", "WATER", 4, 3},
                              {"id00000007", "page_02.htm", "a<b&c'd", 1, 1}};
  Lines expected;
  AddLong(expected, "id00000000", "page_01.htm", "Water", 2, 1);
  AddLong(expected, "id00000000", "page_02.htm", "water", 1, 3);
  AddLong(expected, "id00000000", "page_03.htm", "WATER", 3, 4);
  expected.push_back(LinkLine("id00000007", "page_02.htm", "a<b&c'd", 1) + "<br>");
  EXPECT_EQ(Entries(t, records), expected);
}

// The query keeps the word whole and the site restriction after it: the
// bytes a browser would take as a fragment, a parameter, a blank or the
// attribute's end are percent-encoded.
TEST(WordIndexTest, WebSearchQueryEncodesTheBytesThatWouldCutIt) {
  TestRun t;
  Lines entries = Entries(t, {{"id00000000", "page_01.htm", "C#&C++<b>100%", 1},
                              {"id00000001", "page_01.htm", "dog", 1}});
  ASSERT_EQ(entries.size(), 6u);
  EXPECT_EQ(entries[4],
            "&nbsp;&nbsp; <a href=\"https://www.google.com/search?q=C%23%26C%2B%2B%3Cb%3E100%25"
            " site:www.example.com\"> www.example.com</a>");
}

TEST(WordIndexTest, WithoutTargetSiteSingleEntryAndEmptyGroup) {
  TestRun t;
  t.run().target_site.clear();
  Lines expected;
  AddLong(expected, "id00000000", "page_01.htm", "cat", 1, 1, /*with_site=*/false);
  expected.push_back(LinkLine("id00000001", "page_01.htm", "dog", 1) + "<br>");
  EXPECT_EQ(Entries(t, {{"id00000000", "page_01.htm", "cat", 1},
                        {"id00000001", "page_01.htm", "dog", 1}}),
            expected);
  EXPECT_EQ(Entries(t, {{"id00000001", "page_01.htm", "dog", 1}}),
            Lines({LinkLine("id00000001", "page_01.htm", "dog", 1) + "<br>"}));
  EXPECT_EQ(Entries(t, {}), Lines());
}

// The promo interval counter runs over every word index page of the run;
// the head of each page carries the promo block too.
TEST(WordIndexTest, PromoBlocksFollowEvery101stLongEntryAcrossPages) {
  TestRun t;
  t.run().target_site.clear();
  std::vector<Rec> first, second;
  for (int i = 0; i < 151; ++i)
    first.push_back({"id" + std::to_string(10000000 + i), "page_01.htm", "w", 1});
  for (int i = 0; i < 101; ++i)
    second.push_back({"id" + std::to_string(20000000 + i), "page_02.htm", "w", 1});
  long long promo_interval = 0;
  WritePage(t, "i_1.htm", first, promo_interval);
  WritePage(t, "i_2.htm", second, promo_interval);
  const Lines promo = runctx::PromoBlockLines();
  long size = static_cast<long>(promo.size());
  // Each long entry without a web-search line is four lines.
  for (auto [page, entry] : {std::pair<const char*, long>{"i_1.htm", 101}, {"i_2.htm", 52}}) {
    Lines lines = ReadLines(t.root() / page);
    ASSERT_GT(lines.size(), 11u + promo.size());
    EXPECT_EQ(Lines(lines.begin() + 11, lines.begin() + 11 + size), promo);
    Lines entries = EntryList(lines);
    ASSERT_GT(entries.size(), static_cast<size_t>(4 * entry + size + 1)) << page;
    EXPECT_EQ(Lines(entries.begin() + 4 * entry, entries.begin() + 4 * entry + size), promo)
        << page;
    EXPECT_EQ(entries[static_cast<size_t>(4 * entry + size)], "<br>") << page;
  }
}

}  // namespace
}  // namespace pages
