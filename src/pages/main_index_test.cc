#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/record.h"
#include "pages/pages.h"
#include "support/test_run.h"

namespace pages {
namespace {

using testing_support::ReadLines;
using testing_support::TestRun;
using testing_support::WriteFile;
using Lines = std::vector<std::string>;

// One wrd_15 record: word id, group (5 wide), page, line, column, word, occurrence.
std::string Rec(const std::string& id, int group, const std::string& word) {
  std::string g = std::to_string(group);
  std::string record;
  common::AppendRecord(record, {id, std::string(5 - g.size(), ' ') + g, "page_01.htm",
                                "         1", "     1", word, "1"});
  return record + "\r\n";
}

// Writes the records (already in sorted order, so that the sort into
// wrd_16.txt keeps them) and returns the index lines after the CTRL + F
// line and its "<br><br>", without the closing lines.
Lines IndexLines(TestRun& t, const std::string& records) {
  WriteFile(t.root() / "wrd_15.txt", records);
  WriteFile(t.root() / "wrd_16.txt", records);
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
  std::string records = Rec("id00000000", 1, "CAT") + Rec("id00000000", 1, "Cat") +
                        Rec("id00000000", 1, "cat") + Rec("id00000000", 2, "cat") +
                        Rec("id00000004", 1, "dog") + Rec("id00000005", 2, "a<b&'") +
                        Rec("id00000005", 12, "a<b&'") + Rec("id00000005", 12, "a<b&'");
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
  EXPECT_EQ(IndexLines(t, records), expected);
  EXPECT_EQ(t.OutLines(), Lines({"processed 60%", "processed 70%", "processed 80%"}));
}

TEST(MainIndexTest, FewRecordsSkipTheEightyPercentLine) {
  TestRun t;
  EXPECT_EQ(IndexLines(t, Rec("id00000000", 1, "one") + Rec("id00000001", 1, "two")),
            Lines({"one", Link("id00000000", 1, "1"), "<br>", "two", Link("id00000001", 1, "")}));
  EXPECT_EQ(t.OutLines(), Lines({"processed 60%", "processed 70%"}));
  TestRun empty;
  EXPECT_EQ(IndexLines(empty, ""), Lines());
}

}  // namespace
}  // namespace pages
