#include "words/pipeline.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/test_run.h"

namespace words {
namespace {

using testing_support::OccurrenceLines;
using testing_support::PageWordLines;
using testing_support::TestRun;
using Lines = std::vector<std::string>;

// Writes the pages (page number -> its lines), extracts their words and
// builds the word lists with group size `group_size`.
void Build(TestRun& t, const std::map<int, Lines>& pages, int group_size = 10) {
  t.run().input_count = group_size;
  testing_support::ExtractPages(t, pages);
  t.ClearOut();
  BuildWordLists(t.run());
}

TEST(WordListTest, CaseVariantsShareAnIdAndAreNumberedByWrittenFormOnALine) {
  TestRun t;
  Build(t, {{1, {"", "", "the cat The"}}});
  EXPECT_EQ(OccurrenceLines(t.run()),
            (Lines{"page_01.htm 3 1 the id00000001 2", "page_01.htm 3 5 cat id00000000 1",
                   "page_01.htm 3 9 The id00000001 1"}));
  EXPECT_EQ(t.OutLines(),
            (Lines{"processed 20%", "processed 30%", "processed 40%", "processed 50%"}));
}

// A word's id counts the occurrences of the words that sort before it as
// record fields do: "abc!" before "abc", since "!" sorts below the quote
// that ends the shorter field, and "abcd" after it.
TEST(WordListTest, IdsCountTheOccurrencesBeforeTheWord) {
  TestRun t;
  Build(t, {{1, {"alpha beta gamma gamma"}}, {2, {"gamma gamma alpha abc abcd abc!"}}});
  std::map<std::string, std::string> ids;
  for (const std::string& line : OccurrenceLines(t.run())) {
    size_t id = line.find(" id");
    size_t word = line.rfind(' ', id - 1);
    ids[line.substr(word + 1, id - word - 1)] = line.substr(id + 1, 10);
  }
  EXPECT_EQ(ids, (std::map<std::string, std::string>{{"abc!", "id00000000"},
                                                      {"abc", "id00000001"},
                                                      {"abcd", "id00000002"},
                                                      {"alpha", "id00000003"},
                                                      {"beta", "id00000005"},
                                                      {"gamma", "id00000006"}}));
}

TEST(WordListTest, NonBreakingSpaceWordsAreDroppedAndTheirPageHoldsNoWords) {
  TestRun t;
  Build(t, {{1, {"&nbsp;&nbsp; x&NBSP;y kept"}}, {2, {"&NbSp;"}}});
  EXPECT_EQ(OccurrenceLines(t.run()), Lines{"page_01.htm 1 23 kept id00000000 1"});
  EXPECT_EQ(t.run().word_data->pages[1].group, 0);
  EXPECT_EQ(t.run().group_count, 1);
}

TEST(WordListTest, PagesDivideIntoGroupsOfTheInputCount) {
  struct Case {
    int pages;
    std::vector<int> groups;  // of pages 2, 3, ...
    int group_count;
  };
  for (const Case& c : {Case{7, {1, 1, 1, 2, 2, 2, 3}, 3}, Case{6, {1, 1, 1, 2, 2, 2}, 3},
                        Case{2, {1, 1}, 1}}) {
    SCOPED_TRACE(c.pages);
    TestRun t;
    // Page 1 holds no word and is in no group.
    std::map<int, Lines> pages = {{1, {"<br>"}}};
    for (int page = 2; page <= c.pages + 1; ++page) pages[page] = {"word"};
    Build(t, pages, /*group_size=*/3);
    EXPECT_EQ(t.run().group_count, c.group_count);
    const auto& info = t.run().word_data->pages;
    EXPECT_EQ(info[0].group, 0);
    for (int page = 2; page <= c.pages + 1; ++page) EXPECT_EQ(info[page - 1].group, c.groups[page - 2]);
  }
}

// Each word on each page: its count, first occurrence (by position) and
// highest number there, and the next page holding it, however the page
// names stand in other words' text.
TEST(WordListTest, PageWordsKnowTheirNextPage) {
  TestRun t;
  Build(t, {{1, {"apple", "apple Apple"}}, {2, {"pear"}}, {3, {"page_04.htm apple"}},
            {4, {"apple"}}});
  EXPECT_EQ(PageWordLines(t.run()),
            (Lines{"page_01.htm id00000000 3 1 apple 3 page_03.htm",
                   "page_02.htm id00000006 1 1 pear 1 -",
                   "page_03.htm id00000005 1 1 page_04.htm 1 -",
                   "page_03.htm id00000000 1 4 apple 4 page_04.htm",
                   "page_04.htm id00000000 1 5 apple 5 -"}));
}

TEST(WordListTest, NoWordsGiveNoGroups) {
  TestRun t;
  Build(t, {{1, {"<br>"}}});
  EXPECT_EQ(t.run().group_count, 0);
  EXPECT_TRUE(OccurrenceLines(t.run()).empty());
}

}  // namespace
}  // namespace words
