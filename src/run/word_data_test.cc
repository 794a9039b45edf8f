#include "run/word_data.h"

#include <gtest/gtest.h>

#include <vector>

namespace runctx {
namespace {

// A group closes after the page whose occurrences take it past 100,000, or
// after its group-size-th page; the next group starts with neither.
TEST(WordDataTest, ClosesAfterThePageThatPassesEitherBound) {
  struct Case {
    int group_size;
    std::vector<uint64_t> occurrences;  // of each page, in order
    std::vector<int> groups;
    int group_count;
  } cases[] = {
      {10, {100000}, {1}, 1},                 // at the bound: still open
      {10, {100001}, {1}, 2},                 // past it: the last group is empty
      {10, {60000, 40000, 1}, {1, 1, 1}, 2},  // reached, then passed by one
      {10, {60000, 40001, 5}, {1, 1, 2}, 2},
      {2, {99999, 2}, {1, 1}, 2},               // both bounds at one page close once
      {3, {10, 10, 10, 10}, {1, 1, 1, 2}, 2},   // the page count alone
      {3, {100001, 1, 1, 1}, {1, 2, 2, 2}, 3},  // the next group counts from 0
      {3, {1, 100000, 100000, 1}, {1, 1, 2, 2}, 3},
  };
  for (const Case& c : cases) {
    GroupRule rule(c.group_size);
    std::vector<int> groups;
    for (uint64_t occurrences : c.occurrences) groups.push_back(rule.Take(occurrences));
    EXPECT_EQ(groups, c.groups) << c.occurrences.front() << " ... (" << c.occurrences.size() << ")";
    EXPECT_EQ(rule.group_count(), c.group_count) << c.occurrences.front();
  }
}

}  // namespace
}  // namespace runctx
