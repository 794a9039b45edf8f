// The fuzz corpora replayed: every starting input, and every input a fuzzer once
// found, goes through its target on each test run, and so under the
// sanitizers too. A target aborts on a broken property.
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/e2e_util.h"
#include "fuzz/fuzz_targets.h"

namespace testing_support {
namespace {

using Entry = int (*)(const uint8_t*, size_t);

// Runs every file of tests/fuzz/<folder> through `entry`; the count run.
int Replay(const std::string& folder, Entry entry) {
  std::vector<fs::path> inputs;
  for (const auto& file : fs::directory_iterator(SourceDir() / "tests" / "fuzz" / folder)) {
    inputs.push_back(file.path());
  }
  std::sort(inputs.begin(), inputs.end());
  for (const fs::path& input : inputs) {
    SCOPED_TRACE(input.string());
    std::string bytes = ReadFile(input);
    entry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  return static_cast<int>(inputs.size());
}

TEST(CorpusReplayTest, ScanLine) { EXPECT_GT(Replay("scan_line", fuzz::ScanLineInput), 0); }
TEST(CorpusReplayTest, CleanPage) { EXPECT_GT(Replay("clean_page", fuzz::CleanPageInput), 0); }
TEST(CorpusReplayTest, Interpreter) { EXPECT_GT(Replay("interpreter", fuzz::InterpreterInput), 0); }

}  // namespace
}  // namespace testing_support
