#include "params/promo_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_run.h"

namespace params {
namespace {

using testing_support::ReadLines;
using testing_support::TestRun;

TEST(PromoPageTest, PromotionalPageLines) {
  TestRun t;
  t.Command("md htm_in");
  WritePromotionalPage(t.run());
  std::vector<std::string> lines = ReadLines(t.root() / "f_promote.htm");
  ASSERT_EQ(lines.size(), 28u);
  EXPECT_EQ(lines[0], "<html>");
  EXPECT_EQ(lines[2], "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">");
  EXPECT_EQ(lines[3], "<title>advertising message</title>");
  EXPECT_EQ(lines[5], "<body>");
  EXPECT_EQ(lines[7], "<br> <b> PROMOTE YOUR BRAND WITH OUR PROGRAMS </b>");
  EXPECT_EQ(lines[6], "<br>");
  EXPECT_EQ(lines[9],
            "<br> Our programs are intended for companis who want to consolidate their brand "
            "through free distribution of the programs.");
  EXPECT_EQ(lines[21], "<br> <a href=\"https://www.example.org\">https://www.example.org</a>");
  EXPECT_EQ(lines[22],
            "<br> <a href=\"https://www.example.org/indexer\">https://www.example.org/indexer</a>");
  EXPECT_EQ(lines[23], "<br>");
  EXPECT_EQ(lines[24], "</body>");
  EXPECT_EQ(lines[27], "</html>");
  // Every line ends with CR LF, and the page is copied into htm_in.
  std::string bytes = testing_support::ReadFile(t.root() / "f_promote.htm");
  EXPECT_EQ(bytes.substr(0, 8), "<html>\r\n");
  EXPECT_EQ(testing_support::ReadFile(t.root() / "htm_in" / "f_promote.htm"), bytes);
}

}  // namespace
}  // namespace params
