#include "common/record.h"

#include <gtest/gtest.h>

namespace common {
namespace {

std::vector<std::string> Split(std::string_view line) {
  std::vector<std::string_view> views;
  SplitRecord(line, &views);
  return std::vector<std::string>(views.begin(), views.end());
}

TEST(RecordTest, WritesQuotedFieldsSeparatedByCommas) {
  std::string line;
  AppendRecord(line, {"Hello,", "page_02.htm", "         7"});
  EXPECT_EQ(line, R"("Hello,","page_02.htm","         7")");
}

TEST(RecordTest, SplitsByTheSameRule) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Split(R"("Hello,","page_02.htm","         7")"), (V{"Hello,", "page_02.htm", "         7"}));
  EXPECT_EQ(Split(R"("","x")"), (V{"", "x"}));
  EXPECT_EQ(Split("page_01.htm"), (V{"page_01.htm"}));
  // No escaping: a quote inside a word ends the field early.
  EXPECT_EQ(Split(R"("a"b","c")"), (V{"a", "c"}));
  EXPECT_EQ(Split(R"("open)"), (V{"open"}));
}

}  // namespace
}  // namespace common
