// sort: in memory, through spilled chunks, and input already in order.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "platform/interpreter/listing.h"
#include "support/test_run.h"

namespace platform {
namespace {

using testing_support::ListFolder;
using testing_support::ReadFile;
using testing_support::ReadLines;
using testing_support::TestRun;
using testing_support::WriteFile;
using Lines = std::vector<std::string>;

TEST(SortTest, OrdersLinesFoldedThenRawAndEndsThemWithCrLf) {
  TestRun t;
  WriteFile(t.root() / "in.txt", "b\r\nB\na_x\nab\n\nA\r\nZ");
  t.Command("sort in.txt /o out.txt");
  EXPECT_EQ(ReadFile(t.root() / "out.txt"), "\r\nA\r\na_x\r\nab\r\nB\r\nb\r\nZ\r\n");
  t.Command("sort IN.TXT");
  EXPECT_EQ(t.OutLines(), (Lines{"", "A", "a_x", "ab", "B", "b", "Z"}));
  t.Command("sort in.txt /o in.txt");  // read whole before the output is made
  EXPECT_EQ(ReadLines(t.root() / "in.txt"), (Lines{"", "A", "a_x", "ab", "B", "b", "Z"}));
  t.ClearOut();
  t.Command("sort missing.txt /o out.txt");
  EXPECT_EQ(t.err(), "The system cannot find the file specified.\r\n");
}

// Lines of records as the per-group lists hold them, in a scrambled order.
Lines Records(size_t count, unsigned shuffle_key) {
  Lines lines;
  for (size_t i = 0; i < count; ++i) {
    lines.push_back("\"page_" + std::to_string(i % 37) + ".htm\",\"" +
                    std::to_string(i * 7919 % 1000) + "\",\"" + (i % 3 == 0 ? "Word" : "word") +
                    std::to_string(i % 11) + "\"");
  }
  std::shuffle(lines.begin(), lines.end(), std::mt19937(shuffle_key));
  return lines;
}

TEST(SortTest, SpillsRunsToChunksAndMergesThemInSeveralPasses) {
  struct Case {
    size_t run_bytes, run_lines, merge_width;
    bool presorted;
  };
  const Case cases[] = {
      {/*run_bytes=*/1 << 20, /*run_lines=*/7, /*merge_width=*/3, false},
      {/*run_bytes=*/64, /*run_lines=*/1000, /*merge_width=*/2, false},
      {/*run_bytes=*/1 << 20, /*run_lines=*/5, /*merge_width=*/2, true},
  };
  for (const Case& c : cases) {
    TestRun t;
    t.limits().sort_run_bytes = c.run_bytes;
    t.limits().sort_run_lines = c.run_lines;
    t.limits().sort_merge_width = c.merge_width;
    Lines lines = Records(500, 7);
    Lines expected = lines;
    std::sort(expected.begin(), expected.end(), commands::ListingLess);
    if (c.presorted) {
      // In order at first, then out of order: the streamed run stops.
      lines = expected;
      std::swap(lines[300], lines[301]);
      std::swap(lines[350], lines[420]);
    }
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    WriteFile(t.root() / "wrd_11_1.txt", text);
    t.Command("sort wrd_11_1.txt /o wrd_12_1.txt");
    EXPECT_EQ(ReadLines(t.root() / "wrd_12_1.txt"), expected);
    // The chunk files are gone.
    EXPECT_EQ(ListFolder(t.root()), (Lines{"wrd_11_1.txt", "wrd_12_1.txt"}));
  }
}

TEST(SortTest, InputAlreadyInOrderStreamsThrough) {
  TestRun t;
  t.limits().sort_run_lines = 4;
  t.limits().sort_merge_width = 2;
  Lines expected = Records(100, 3);
  std::sort(expected.begin(), expected.end(), commands::ListingLess);
  std::string text;
  for (const std::string& line : expected) text += line + "\r\n";
  WriteFile(t.root() / "in.txt", text);
  t.Command("sort in.txt /o out.txt");
  EXPECT_EQ(ReadFile(t.root() / "out.txt"), text);
}

}  // namespace
}  // namespace platform
