#include "words/word_ids.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/test_run.h"

namespace words {
namespace {

using testing_support::OccurrenceLines;
using testing_support::TestRun;
using Lines = std::vector<std::string>;
using Ids = std::map<std::string, std::string>;

void Build(TestRun& t, const std::map<int, Lines>& pages) {
  t.run().input_count = 10;
  testing_support::ExtractPages(t, pages);
  t.ClearOut();
  AssignWordIds(t.run());
}

// The word id of each written form of the occurrences (or the written
// form of each id).
Ids IdsOf(TestRun& t, bool by_form) {
  Ids ids;
  for (const std::string& line : OccurrenceLines(t.run())) {
    size_t id = line.find(" id");
    size_t word = line.rfind(' ', id - 1);
    std::string form = line.substr(word + 1, id - word - 1);
    std::string id_text = line.substr(id + 1, 10);
    if (by_form) {
      ids[form] = id_text;
    } else {
      ids[id_text] = form;
    }
  }
  return ids;
}

// A word's id counts the occurrences of the words that sort before it as
// record fields do: "abc!" before "abc", since "!" sorts below the quote
// that ends the shorter field, and "abcd" after it.
TEST(WordIdsTest, IdsCountTheOccurrencesBeforeTheWord) {
  TestRun t;
  Build(t, {{1, {"alpha beta gamma gamma"}}, {2, {"gamma gamma alpha abc abcd abc!"}}});
  EXPECT_EQ(IdsOf(t, /*by_form=*/true), (Ids{{"abc!", "id00000000"},
                                             {"abc", "id00000001"},
                                             {"abcd", "id00000002"},
                                             {"alpha", "id00000003"},
                                             {"beta", "id00000005"},
                                             {"gamma", "id00000006"}}));
  EXPECT_EQ(t.OutLines(),
            (Lines{"processed 20%", "processed 30%", "processed 40%", "processed 50%"}));
}

// The order holds where words first differ past their eighth byte, and
// where the closing quote meets a byte at the eighth byte or after it.
TEST(WordIdsTest, WordsSortAsFieldsPastTheirFirstBytes) {
  TestRun t;
  Build(t, {{1, {"abcdefghijk abcdefgh abcdefghij! abcdefg abcdefghij abcdefg!"}}});
  EXPECT_EQ(IdsOf(t, /*by_form=*/false), (Ids{{"id00000000", "abcdefg!"},
                                              {"id00000001", "abcdefg"},
                                              {"id00000002", "abcdefgh"},
                                              {"id00000003", "abcdefghij!"},
                                              {"id00000004", "abcdefghij"},
                                              {"id00000005", "abcdefghijk"}}));
}

// The forms of a word in any case are one word, placed by its lower case:
// "Zebra" sorts after "apple" though 'Z' is below 'a', whichever form
// came first.
TEST(WordIdsTest, FormsInAnyCaseAreOneWordPlacedByItsLowerCase) {
  TestRun t;
  Build(t, {{1, {"Zebra apple ZEBRA"}}, {2, {"zebra Apple"}}});
  EXPECT_EQ(IdsOf(t, /*by_form=*/true), (Ids{{"Apple", "id00000000"},
                                             {"apple", "id00000000"},
                                             {"ZEBRA", "id00000002"},
                                             {"Zebra", "id00000002"},
                                             {"zebra", "id00000002"}}));
}

TEST(WordIdsTest, NoWordsGiveNoGroups) {
  TestRun t;
  Build(t, {{1, {"<br>"}}});
  EXPECT_EQ(t.run().word_data->group_count, 0);
  EXPECT_TRUE(OccurrenceLines(t.run()).empty());
}

}  // namespace
}  // namespace words
