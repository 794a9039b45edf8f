#include "platform/external_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "support/test_run.h"

namespace platform {
namespace {

using testing_support::ListFolder;
using testing_support::ScopedTempDir;
using testing_support::WriteFile;
using Lines = std::vector<std::string>;

// Orders by the first byte only, so equal lines show whether the order of
// the input is kept.
int FirstByte(std::string_view a, std::string_view b) {
  unsigned char x = a.empty() ? 0 : static_cast<unsigned char>(a[0]);
  unsigned char y = b.empty() ? 0 : static_cast<unsigned char>(b[0]);
  return x < y ? -1 : (x > y ? 1 : 0);
}

// Lines "<letter><their input position>", the letters shuffled.
Lines Shuffled(int count) {
  Lines lines;
  std::mt19937 random(/*start=*/17);
  for (int i = 0; i < count; ++i) {
    lines.push_back(std::string(1, static_cast<char>('a' + random() % 7)) + std::to_string(i));
  }
  return lines;
}

TEST(ExternalSortTest, SmallLimitsGiveTheStableSortInSeveralRunsAndMergeLevels) {
  struct Case {
    size_t run_lines, run_bytes, files_per_merge;
  };
  const Case cases[] = {
      {/*run_lines=*/1000, /*run_bytes=*/1 << 20, /*files_per_merge=*/16},  // one run in memory
      {/*run_lines=*/7, /*run_bytes=*/1 << 20, /*files_per_merge=*/3},      // 43 runs, 4 levels
      {/*run_lines=*/1000, /*run_bytes=*/40, /*files_per_merge=*/2},        // runs cut by bytes
      {/*run_lines=*/1, /*run_bytes=*/1 << 20, /*files_per_merge=*/0},      // width taken as 2
  };
  const Lines input = Shuffled(300);
  Lines expected = input;
  std::stable_sort(expected.begin(), expected.end(),
                   [](const std::string& a, const std::string& b) { return FirstByte(a, b) < 0; });
  for (const Case& c : cases) {
    ScopedTempDir dir;
    std::string text;
    for (const std::string& line : input) text += line + "\r\n";
    WriteFile(dir.path() / "in.txt", text);
    Paths paths(dir.path());
    LineReader reader(paths.ForRead("in.txt"));
    Lines sorted;
    int begun = 0;
    ExternalSort(paths, reader, FirstByte, c.run_lines, c.run_bytes, c.files_per_merge,
                 {[&] {
                    ++begun;
                    return true;
                  },
                  [&](std::string_view line) { sorted.emplace_back(line); }});
    reader.Close();
    EXPECT_EQ(begun, 1);
    EXPECT_EQ(sorted, expected) << "run_lines " << c.run_lines << ", run_bytes " << c.run_bytes;
    // The chunk files are gone.
    EXPECT_EQ(ListFolder(dir.path()), (Lines{"in.txt"}));
  }
}

}  // namespace
}  // namespace platform
