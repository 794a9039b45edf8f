#include "pages/main_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/test_run.h"

namespace pages {
namespace {

using testing_support::ReadLines;
using testing_support::TestRun;
using Lines = std::vector<std::string>;

// A word of the word data: its written form, id number and occurrences
// per group (group 1 first).
struct Word {
  std::string form;
  uint64_t id;
  std::vector<uint32_t> counts;
};

// Sets the run's word data to `words` and returns the index lines after the
// CTRL + F line and its "<br><br>", without the closing lines.
Lines IndexLines(TestRun& t, const std::vector<Word>& words) {
  auto data = std::make_shared<runctx::WordData>();
  for (uint32_t i = 0; i < words.size(); ++i) {
    const Word& w = words[i];
    data->forms.Intern(w.form, common::HashBytes(w.form));
    data->form_word.push_back(i);
    uint32_t count = 0;
    for (uint32_t c : w.counts) count += c;
    data->words.push_back({i, count});
    data->ids.push_back(w.id);
    data->occurrence_count += count;
  }
  // Each group's words, in the order listed.
  size_t groups = 0;
  for (const Word& w : words) groups = std::max(groups, w.counts.size());
  std::filesystem::create_directory(t.root() / "wrd_24");
  data->group_count_file = t.root() / "wrd_24" / "group_counts.bin";
  platform::BinaryWriter file(t.run().paths.Create(data->group_count_file));
  data->group_count_start = {0};
  for (size_t g = 0; g < groups; ++g) {
    for (uint32_t i = 0; i < words.size(); ++i) {
      if (g < words[i].counts.size() && words[i].counts[g] > 0) {
        file.Put(runctx::GroupCount{i, words[i].counts[g], 1});
      }
    }
    data->group_count_start.push_back(file.size() / sizeof(runctx::GroupCount));
  }
  file.Close();
  data->group_count = static_cast<int>(groups);
  // The word id phase lists the words in id order.
  for (uint32_t i = 0; i < words.size(); ++i) data->by_id.push_back(i);
  std::sort(data->by_id.begin(), data->by_id.end(),
            [&](uint32_t a, uint32_t b) { return words[a].id < words[b].id; });
  t.run().word_data = data;
  WriteMainIndex(t.run());
  Lines page = ReadLines(t.root() / "index.htm");
  EXPECT_GE(page.size(), 30u);
  EXPECT_EQ(page[26], "Use a combination of two keys (CTRL + F) to search.");
  EXPECT_EQ(page[page.size() - 2], "</body>");
  EXPECT_EQ(page[page.size() - 1], "</html>");
  return Lines(page.begin() + 28, page.end() - 2);
}

std::string Link(const std::string& id, int group, const std::string& count) {
  std::string g = std::to_string(group);
  return "&nbsp;&nbsp;<a href=\"i_" + g + ".htm#" + id + "\" id=\"" + id + "\">(i_" + g +
         (count.empty() ? "" : ",&nbsp;&nbsp;" + count) + ")</a>";
}

TEST(MainIndexTest, WordBlocksWithCountsPerGroup) {
  TestRun t;
  // Listed out of id order: the index goes by id.
  std::vector<Word> words = {
      {"a<b&'", 5, {0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2}}, {"CAT", 0, {3, 1}}, {"dog", 4, {1}}};
  Lines expected = {"CAT",
                    Link("id00000000", 1, "3"),
                    Link("id00000000", 2, "1"),
                    "<br>",
                    "dog",
                    Link("id00000004", 1, "1"),
                    "<br>",
                    "a<b&'",
                    Link("id00000005", 2, "1"),
                    Link("id00000005", 12, "")};
  EXPECT_EQ(IndexLines(t, words), expected);
  EXPECT_EQ(t.OutLines(), Lines({"processed 60%", "processed 70%", "processed 80%"}));
}

TEST(MainIndexTest, FewRecordsSkipTheEightyPercentLine) {
  TestRun t;
  EXPECT_EQ(IndexLines(t, {{"one", 0, {1}}, {"two", 1, {1}}}),
            Lines({"one", Link("id00000000", 1, "1"), "<br>", "two", Link("id00000001", 1, "")}));
  EXPECT_EQ(t.OutLines(), Lines({"processed 60%", "processed 70%"}));
  TestRun empty;
  EXPECT_EQ(IndexLines(empty, {}), Lines());
}

}  // namespace
}  // namespace pages
