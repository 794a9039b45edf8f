#include "words/pipeline.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "support/test_run.h"

namespace words {
namespace {

using testing_support::ReadFile;
using testing_support::ReadLines;
using testing_support::TestRun;
using testing_support::WriteFile;

struct Word {
  std::string text;
  int page;
  int line;
  int column;
};

std::string PageName(int page) { return "page_" + common::ZeroPad(page, 2) + ".htm"; }

// A wrd_01.txt record as word extraction writes it.
std::string Record(const Word& w) {
  return "\"" + w.text + "\",\"" + PageName(w.page) + "\",\"" +
         common::PadLeft(std::to_string(w.line), 10) + "\",\"" +
         common::PadLeft(std::to_string(w.column), 6) + "\",\"" + w.text + "\"\r\n";
}

// Writes wrd_01.txt and runs the pipeline with group size `group_size`.
void Build(TestRun& t, const std::vector<Word>& words, int group_size = 10) {
  std::string bytes;
  for (const Word& w : words) bytes += Record(w);
  WriteFile(t.root() / "wrd_01.txt", bytes);
  t.run().input_count = group_size;
  BuildWordLists(t.run());
}

std::vector<std::string> Lines(TestRun& t, const std::string& name) {
  return ReadLines(t.root() / name);
}

TEST(WordListTest, CaseVariantsShareAnIdAndSortByWrittenFormOnALine) {
  TestRun t;
  Build(t, {{"the", 1, 3, 1}, {"The", 1, 3, 9}, {"cat", 1, 3, 5}});
  EXPECT_EQ(Lines(t, "wrd_04.txt"),
            (std::vector<std::string>{
                R"("page_01.htm","         3","     5","cat","id00000000","1")",
                R"("page_01.htm","         3","     9","The","id00000001","1")",
                R"("page_01.htm","         3","     1","the","id00000001","2")"}));
  EXPECT_EQ(t.OutLines(), (std::vector<std::string>{"processed 20%", "processed 30%",
                                                    "processed 40%", "processed 50%"}));
}

TEST(WordListTest, IdsCountRecordsBeforeTheWord) {
  TestRun t;
  std::vector<Word> words = {{"gamma", 2, 1, 1}, {"alpha", 1, 1, 1}, {"beta", 1, 2, 1}};
  for (int i = 0; i < 4; ++i) words.push_back({"gamma", 1, 3 + i, 1});
  words.push_back({"alpha", 2, 2, 1});
  Build(t, words);
  std::vector<std::string> ids;
  for (const std::string& line : Lines(t, "wrd_03.txt")) ids.push_back(line.substr(line.size() - 11, 10));
  EXPECT_EQ(ids, (std::vector<std::string>{"id00000000", "id00000000", "id00000002", "id00000003",
                                           "id00000003", "id00000003", "id00000003",
                                           "id00000003"}));
}

TEST(WordListTest, NonBreakingSpaceWordsAreInNoWorkFile) {
  TestRun t;
  Build(t, {{"&nbsp;&nbsp;", 1, 1, 1}, {"x&NBSP;y", 1, 1, 14}, {"&NbSp;", 2, 1, 1},
            {"kept", 1, 2, 1}});
  for (const char* name : {"wrd_01_01.txt", "wrd_01_02.txt", "wrd_03.txt", "wrd_04.txt",
                           "wrd_08.txt", "wrd_15.txt", "group_page_all.txt"}) {
    std::string bytes = ReadFile(t.root() / name);
    EXPECT_EQ(common::FindNoCase(bytes, "nbsp"), std::string::npos) << name;
    EXPECT_EQ(common::Contains(bytes, "page_02.htm"), false) << name;
  }
  EXPECT_EQ(Lines(t, "group_page_all.txt"), std::vector<std::string>{"page_01.htm"});
}

TEST(WordListTest, PagesDivideIntoGroupsOfTheInputCount) {
  struct Case {
    int pages;
    std::vector<size_t> sizes;
  };
  for (const Case& c : {Case{7, {3, 3, 1}}, Case{6, {3, 3, 0}}, Case{2, {2}}}) {
    SCOPED_TRACE(c.pages);
    TestRun t;
    std::vector<Word> words;
    // Pages are numbered 2, 3, ... so page 1 holds no word and is in no list.
    for (int page = c.pages + 1; page >= 2; --page) words.push_back({"word", page, 1, 1});
    Build(t, words, /*group_size=*/3);
    EXPECT_EQ(t.run().group_count, static_cast<int>(c.sizes.size()));
    for (size_t g = 1; g <= c.sizes.size(); ++g) {
      std::string suffix = std::to_string(g) + ".txt";
      EXPECT_EQ(Lines(t, "group_search_" + suffix).size(), c.sizes[g - 1]) << g;
      EXPECT_TRUE(std::filesystem::exists(t.root() / ("wrd_11_" + suffix))) << g;
      EXPECT_TRUE(std::filesystem::exists(t.root() / ("wrd_13_" + suffix))) << g;
    }
    EXPECT_FALSE(std::filesystem::exists(t.root() / ("group_search_" +
                                                     std::to_string(c.sizes.size() + 1) + ".txt")));
    std::vector<std::string> all = Lines(t, "group_page_all_sort.txt");
    ASSERT_EQ(all.size(), static_cast<size_t>(c.pages));
    EXPECT_EQ(all.front(), "page_02.htm");
    EXPECT_EQ(Lines(t, "group_search_1.txt").front(), "\"page_02.htm\"");
  }
}

TEST(WordListTest, GroupListsGoPageByPageInGroupOrder) {
  TestRun t;
  Build(t, {{"one", 1, 1, 1}, {"two", 1, 1, 5}, {"one", 2, 4, 1}, {"two", 2, 1, 1},
            {"two", 3, 1, 1}},
        /*group_size=*/2);
  // wrd_08.txt lists the highest occurrence numbers first, then by id; each
  // page keeps that order in the group lists (not document order).
  EXPECT_EQ(Lines(t, "wrd_11_1.txt"),
            (std::vector<std::string>{
                R"("page_01.htm","         1","     1","one","id00000000","1")",
                R"("page_01.htm","         1","     5","two","id00000002","1")",
                R"("page_02.htm","         4","     1","one","id00000000","2")",
                R"("page_02.htm","         1","     1","two","id00000002","2")"}));
  EXPECT_EQ(Lines(t, "wrd_15.txt"),
            (std::vector<std::string>{
                R"("id00000000","    1","page_01.htm","         1","     1","one","1")",
                R"("id00000002","    1","page_01.htm","         1","     5","two","1")",
                R"("id00000000","    1","page_02.htm","         4","     1","one","2")",
                R"("id00000002","    1","page_02.htm","         1","     1","two","2")",
                R"("id00000002","    2","page_03.htm","         1","     1","two","3")"}));
  EXPECT_EQ(Lines(t, "wrd_13_2.txt"),
            std::vector<std::string>{
                R"("id00000002","page_03.htm","         1","     1","two","id00000002","3")"});
}

TEST(WordListTest, AWordHoldingAnotherWordsIdKeepsItsOwnNextPages) {
  TestRun t;
  // "xid00000000" holds the id of "apple" in its text.
  Build(t, {{"apple", 1, 1, 1}, {"apple", 1, 2, 1}, {"apple", 3, 1, 1}, {"xid00000000", 4, 1, 1}});
  EXPECT_EQ(Lines(t, "wrd_24_1.txt"),
            (std::vector<std::string>{
                R"("page_01.htm","         1","     1","apple","id00000000","1","page_03.htm")",
                R"("page_01.htm","         2","     1","apple","id00000000","2","page_03.htm")",
                R"("page_03.htm","         1","     1","apple","id00000000","3","")",
                R"("page_04.htm","         1","     1","xid00000000","id00000003","1","")"}));
}

TEST(WordListTest, NoWordsGiveNoGroups) {
  TestRun t;
  Build(t, {});
  EXPECT_EQ(t.run().group_count, 0);
  EXPECT_TRUE(std::filesystem::exists(t.root() / "group_page_all_sort.txt"));
  EXPECT_EQ(ReadFile(t.root() / "wrd_15.txt"), "");
}

}  // namespace
}  // namespace words
