#include "words/file_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "driver/conventions.h"
#include "support/test_run.h"

namespace words {
namespace {

using testing_support::ReadFile;
using testing_support::ReadLines;
using testing_support::TestRun;
using testing_support::WriteFile;

std::string AsFile(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

std::vector<std::string> Numbered(size_t count) {
  std::vector<std::string> lines;
  for (size_t i = 0; i < count; ++i) lines.push_back("line " + std::to_string((i * 7919) % count));
  return lines;
}

// Sorts `lines` through the file sort and returns the output's bytes.
std::string SortThrough(TestRun& t, const std::vector<std::string>& lines) {
  WriteFile(t.root() / "in.txt", AsFile(lines));
  SortFile(t.run(), "in.txt", "out.txt");
  return ReadFile(t.root() / "out.txt");
}

std::string Expected(std::vector<std::string> lines) {
  std::stable_sort(lines.begin(), lines.end());
  return AsFile(lines);
}

TEST(FileSortTest, OrdersBytesUnsignedWithPrefixFirstAndKeepsDuplicates) {
  TestRun t;
  std::vector<std::string> lines = {"apple", "Zebra", "b", "", "apple", "\xC3\xA9t\xC3\xA9",
                                    "app", "apple ", "\"a\",\"b\"", "\"a\"", "~", "apple"};
  EXPECT_EQ(SortThrough(t, lines),
            AsFile({"", "\"a\"", "\"a\",\"b\"", "Zebra", "app", "apple", "apple", "apple",
                    "apple ", "b", "~", "\xC3\xA9t\xC3\xA9"}));
}

TEST(FileSortTest, RunBoundaries) {
  struct Case {
    size_t lines;
    bool second_chunk;
  };
  for (Case c : {Case{2000, false}, Case{2001, true}}) {
    SCOPED_TRACE(c.lines);
    TestRun t;
    t.run().sort_run_lines = 2000;
    std::vector<std::string> lines = Numbered(c.lines);
    EXPECT_EQ(SortThrough(t, lines), Expected(lines));
    EXPECT_EQ(ReadLines(t.root() / "file_s_1.txt").size(), 2000u);
    if (c.second_chunk) {
      EXPECT_EQ(ReadLines(t.root() / "file_s_2.txt").size(), 1u);
    } else {
      EXPECT_FALSE(std::filesystem::exists(t.root() / "file_s_2.txt"));
    }
    EXPECT_EQ(ReadFile(t.root() / "sort_output.txt"), Expected(lines));
  }
}

TEST(FileSortTest, ManyChunksOverSeveralMergeLevelsMatchStableSort) {
  std::mt19937 random(7);
  std::vector<std::string> lines;
  for (int i = 0; i < 3000; ++i) {
    std::string line;
    size_t length = random() % 12;
    for (size_t k = 0; k < length; ++k) line += static_cast<char>("aAbB\"_,z\xC3\x80 "[random() % 12]);
    lines.push_back(line);
  }
  // 3000 lines in runs of 13: 231 chunks; width 4 takes four merge levels.
  TestRun t;
  t.run().sort_run_lines = 13;
  t.run().sort_merge_width = 4;
  EXPECT_EQ(SortThrough(t, lines), Expected(lines));
  EXPECT_TRUE(t.out().empty());
}

TEST(FileSortTest, ByteBoundKeepsRunsOfLongLinesSmall) {
  TestRun t;
  t.run().sort_run_bytes = 1000;
  std::vector<std::string> lines;
  for (int i = 0; i < 30; ++i) lines.push_back(std::string(400 + (i * 37) % 300, char('a' + i % 5)));
  lines.push_back(std::string(5000, 'c'));  // longer than a run: a run of its own
  EXPECT_EQ(SortThrough(t, lines), Expected(lines));
  size_t chunks = 0;
  for (size_t n = 1; std::filesystem::exists(t.root() / ("file_s_" + std::to_string(n) + ".txt")); ++n) {
    std::vector<std::string> chunk = ReadLines(t.root() / ("file_s_" + std::to_string(n) + ".txt"));
    size_t bytes = 0;
    for (const std::string& line : chunk) bytes += line.size();
    EXPECT_TRUE(bytes <= 1000 || chunk.size() == 1) << "chunk " << n;
    ++chunks;
  }
  EXPECT_GE(chunks, 16u);
}

TEST(FileSortTest, EmptyOrMissingInputGivesEmptyOutputAndTheRunGoesOn) {
  for (bool present : {true, false}) {
    TestRun t;
    if (present) WriteFile(t.root() / "in.txt", "");
    WriteFile(t.root() / "out.txt", "old\r\n");
    SortFile(t.run(), "in.txt", "out.txt");
    EXPECT_TRUE(std::filesystem::exists(t.root() / "out.txt"));
    EXPECT_EQ(ReadFile(t.root() / "out.txt"), "");
  }
}

TEST(FileSortTest, EmptyInputNameEndsTheProgram) {
  TestRun t;
  try {
    SortFile(t.run(), "", "out.txt");
    FAIL() << "the sort went on";
  } catch (const driver::RunEnded& end) {
    EXPECT_EQ(end.status, 0);
  }
  EXPECT_FALSE(std::filesystem::exists(t.root() / "out.txt"));
}

}  // namespace
}  // namespace words
