#include "pages/group_pass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "common/limits.h"
#include "pages/main_index.h"
#include "support/test_run.h"

namespace pages {
namespace {

using testing_support::ReadLines;
using testing_support::TestRun;
using Lines = std::vector<std::string>;

// The word index page i_<group>.htm from its Content link on (the head
// holds the time of the run).
Lines IndexEntries(const TestRun& t, int group) {
  Lines page = ReadLines(t.root() / ("i_" + std::to_string(group) + ".htm"));
  auto content = std::find_if(page.begin(), page.end(), [](const std::string& line) {
    return line.find("files_list.htm") != std::string::npos;
  });
  return Lines(content, page.end());
}

// The entries of a word index page are sorted a window of page words at a
// time: the pages are the same whatever the window, whether it ends between
// two words or one word's pages fill several windows; no binary file of
// the pass (the page words spilled by window among them) outlives it.
TEST(GroupPassTest, WordIndexPagesAreTheSameWhateverTheEntryWindow) {
  // Two groups of three pages; "alpha" stands on five pages, "beta" on
  // three, the other words on one or two.
  const std::map<int, Lines> pages = {{1, {"alpha beta gamma", "alpha delta"}},
                                      {2, {"Alpha epsilon beta"}},
                                      {3, {"zeta alpha eta"}},
                                      {4, {"alpha theta beta iota"}},
                                      {5, {"kappa lambda alpha"}},
                                      {6, {"mu nu xi", "omicron pi kappa"}}};
  Lines expected[2];
  const size_t whole = common::Limits().entry_window;
  for (size_t window : {whole, size_t{1}, size_t{2}, size_t{7}}) {
    SCOPED_TRACE(window);
    TestRun t;
    t.limits().entry_window = window;
    testing_support::ExtractAndNumber(t, pages, /*group_size=*/3);
    WriteGroupPages(t.run());
    WriteMainIndex(t.run());  // the last to read the group words
    for (const auto& entry : std::filesystem::directory_iterator(t.root() / "wrd_24")) {
      EXPECT_NE(entry.path().extension(), ".bin") << entry.path();
    }
    for (int group = 1; group <= 2; ++group) {
      Lines entries = IndexEntries(t, group);
      if (window == whole) {
        // Every page word of the group, each in a block of its own lines.
        ASSERT_GT(entries.size(), 12u);
        expected[group - 1] = entries;
      } else {
        EXPECT_EQ(entries, expected[group - 1]) << "i_" << group << ".htm";
      }
    }
  }
}

}  // namespace
}  // namespace pages
