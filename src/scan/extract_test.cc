#include "scan/extract.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/limits.h"
#include "support/test_run.h"
#include "words/word_ids.h"

namespace scan {
namespace {

using testing_support::OccurrenceLines;
using testing_support::PageWordLines;
using testing_support::ReadLines;
using testing_support::TestRun;
using testing_support::WriteFile;
using Lines = std::vector<std::string>;

TEST(ExtractTest, WorkedExampleWordForWord) {
  TestRun t;
  WriteFile(t.root() / "page_01.htm", "<br>promo\r\n");
  WriteFile(t.root() / "page_02.htm",
            "<html>\r\n<script>\r\nvar hidden;\r\n</script>\r\n<br>ab\r\n\r\n"
            "<br>Hello, big world\r\n");
  ExtractWords(t.run());
  // Ids are set by the word id phase; before it every word has id 0.
  EXPECT_EQ(OccurrenceLines(t.run()),
            (Lines{"page_01.htm 1 5 promo id00000000 1", "page_02.htm 7 5 Hello, id00000000 1",
                   "page_02.htm 7 12 big id00000000 1", "page_02.htm 7 16 world id00000000 1"}));
  EXPECT_EQ(ReadLines(t.root() / "dir_02.txt"), (Lines{"page_01.htm", "page_02.htm"}));
  EXPECT_EQ(t.OutLines(), Lines{"processed 10%"});
}

TEST(ExtractTest, PageStateStartsAfreshOnEveryPage) {
  TestRun t;
  // Page 1 leaves a tag and a script block open; page 2 is scanned as usual.
  WriteFile(t.root() / "page_01.htm", "<br>first <a href\r\n");
  WriteFile(t.root() / "page_02.htm", "plain words\r\n");
  WriteFile(t.root() / "page_03.htm", "<script>\r\n");
  WriteFile(t.root() / "page_04.htm", "more text\r\n");
  ExtractWords(t.run());
  Lines words = OccurrenceLines(t.run());
  ASSERT_EQ(words.size(), 5u);
  EXPECT_EQ(words[0].substr(0, 17), "page_01.htm 1 5 f");
  EXPECT_EQ(words[1].substr(0, 17), "page_02.htm 1 1 p");
  EXPECT_EQ(words[3].substr(0, 17), "page_04.htm 1 1 m");
}

TEST(ExtractTest, LongLinesKeepTheirNumbersWhole) {
  TestRun t;
  std::string page;
  for (int k = 0; k < 3; ++k) page += "\r\n";
  page += std::string(1000000, 'x') + " tail\r\n";
  WriteFile(t.root() / "page_01.htm", page);
  ExtractWords(t.run());
  Lines words = OccurrenceLines(t.run());
  ASSERT_EQ(words.size(), 2u);
  EXPECT_EQ(words[1], "page_01.htm 4 1000002 tail id00000000 1");
}

TEST(ExtractTest, CaseVariantsShareAnIdAndAreNumberedByWrittenFormOnALine) {
  TestRun t;
  testing_support::ExtractAndNumber(t, {{1, {"", "", "the cat The"}}});
  EXPECT_EQ(OccurrenceLines(t.run()),
            (Lines{"page_01.htm 3 1 the id00000001 2", "page_01.htm 3 5 cat id00000000 1",
                   "page_01.htm 3 9 The id00000001 1"}));
}

TEST(ExtractTest, NonBreakingSpaceWordsAreDroppedAndTheirPageHoldsNoWords) {
  TestRun t;
  testing_support::ExtractAndNumber(t, {{1, {"&nbsp;&nbsp; x&NBSP;y kept"}}, {2, {"&NbSp;"}}});
  EXPECT_EQ(OccurrenceLines(t.run()), Lines{"page_01.htm 1 23 kept id00000000 1"});
  EXPECT_EQ(t.run().word_data->pages[1].group, 0);
  EXPECT_EQ(t.run().word_data->group_count, 1);
}

TEST(ExtractTest, PagesDivideIntoGroupsOfTheInputCount) {
  struct Case {
    int pages;
    std::vector<int> groups;  // of pages 2, 3, ...
    int group_count;
  };
  for (const Case& c :
       {Case{7, {1, 1, 1, 2, 2, 2, 3}, 3}, Case{6, {1, 1, 1, 2, 2, 2}, 3}, Case{2, {1, 1}, 1}}) {
    SCOPED_TRACE(c.pages);
    TestRun t;
    // Page 1 holds no word and is in no group.
    std::map<int, Lines> pages = {{1, {"<br>"}}};
    for (int page = 2; page <= c.pages + 1; ++page) pages[page] = {"word"};
    testing_support::ExtractAndNumber(t, pages, /*group_size=*/3);
    EXPECT_EQ(t.run().word_data->group_count, c.group_count);
    const auto& info = t.run().word_data->pages;
    EXPECT_EQ(info[0].group, 0);
    for (int page = 2; page <= c.pages + 1; ++page) {
      EXPECT_EQ(info[page - 1].group, c.groups[page - 2]);
    }
  }
}

// Each word on each page: its count, first occurrence (by position) and
// highest number there, and the next page holding it, however the page
// names stand in other words' text.
TEST(ExtractTest, PageWordsKnowTheirNextPage) {
  TestRun t;
  testing_support::ExtractAndNumber(
      t,
      {{1, {"apple", "apple Apple"}}, {2, {"pear"}}, {3, {"page_04.htm apple"}}, {4, {"apple"}}});
  EXPECT_EQ(PageWordLines(t.run()), (Lines{"page_01.htm id00000000 3 1 apple 3 page_03.htm",
                                           "page_02.htm id00000006 1 1 pear 1 -",
                                           "page_03.htm id00000005 1 1 page_04.htm 1 -",
                                           "page_03.htm id00000000 1 4 apple 4 page_04.htm",
                                           "page_04.htm id00000000 1 5 apple 5 -"}));
}

// Pieces of whole lines, however small and on however many threads, give
// the word data of whole pages: the page state (script blocks, tags left
// open) and the numbering carry from piece to piece.
TEST(ExtractTest, PiecesOfAnySizeGiveTheSameWordData) {
  std::map<int, std::string> pages;
  for (int page = 1; page <= 9; ++page) {
    std::string& text = pages[page];
    for (int line = 0; line < 40; ++line) {
      const std::string n = std::to_string((page * 7 + line) % 13);
      text += "<br>word" + n + " Word" + n + " word" + n + " other" + n + "\r\n";
      if (line % 9 == 4) text += "<script>\r\nhidden text\r\n</script>\r\n\r\n";
      if (line % 11 == 5) text += "<br>open" + n + " <a\r\nhref in tag\r\n>after" + n + "\r\n";
      if (line % 17 == 6) text += "&nbsp;&nbsp; lone&NBSP;\r\n";
    }
  }
  pages[4] = "<br>&nbsp;\r\n";  // a page without words
  pages[6] += "<script>\r\nnever closed\r\n";
  struct Case {
    size_t piece_bytes, pieces_held;
    unsigned threads;
  };
  const common::Limits whole;
  std::vector<Lines> expected;
  for (const Case& c : {Case{whole.piece_bytes, whole.pieces_held, 1}, Case{1, 32, 1},
                        Case{1, 4, 3}, Case{1, 32, 8}, Case{200, 2, 2}}) {
    SCOPED_TRACE(testing::Message() << c.piece_bytes << " bytes, " << c.threads << " threads");
    TestRun t;
    for (const auto& [page, text] : pages) {
      WriteFile(t.root() / ("page_0" + std::to_string(page) + ".htm"), text);
    }
    t.run().input_count = 2;
    t.run().threads = c.threads;
    t.limits().piece_bytes = c.piece_bytes;
    t.limits().pieces_held = c.pieces_held;
    ExtractWords(t.run());
    words::NumberWords(*t.run().word_data);
    const runctx::WordData& data = *t.run().word_data;
    Lines groups;
    for (const runctx::PageInfo& page : data.pages) groups.push_back(std::to_string(page.group));
    for (int group = 1; group <= data.group_count; ++group) {
      runctx::RecordRange<runctx::GroupCount> words = runctx::GroupCountsOf(data, group);
      for (runctx::GroupCount word; words.Next(&word);) {
        groups.push_back(std::to_string(word.word) + " " + std::to_string(word.count) + " " +
                         std::to_string(word.pages));
      }
    }
    Lines result[] = {OccurrenceLines(t.run()), PageWordLines(t.run()), groups};
    if (expected.empty()) {
      EXPECT_GT(result[0].size(), 1000u);
      expected.assign(std::begin(result), std::end(result));
    }
    for (size_t k = 0; k < expected.size(); ++k) EXPECT_EQ(result[k], expected[k]);
  }
}

}  // namespace
}  // namespace scan
