#include "scan/extract.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_run.h"

namespace scan {
namespace {

using testing_support::ReadFile;
using testing_support::ReadLines;
using testing_support::TestRun;
using testing_support::WriteFile;

TEST(ExtractTest, WorkedExampleRecordForRecord) {
  TestRun t;
  WriteFile(t.root() / "page_01.htm", "<br>promo\r\n");
  WriteFile(t.root() / "page_02.htm",
            "<html>\r\n<script>\r\nvar hidden;\r\n</script>\r\n<br>ab\r\n\r\n"
            "<br>Hello, big world\r\n");
  ExtractWords(t.run());
  EXPECT_EQ(ReadFile(t.root() / "wrd_01.txt"),
            "\"promo\",\"page_01.htm\",\"         1\",\"     5\",\"promo\"\r\n"
            "\"Hello,\",\"page_02.htm\",\"         7\",\"     5\",\"Hello,\"\r\n"
            "\"big\",\"page_02.htm\",\"         7\",\"    12\",\"big\"\r\n"
            "\"world\",\"page_02.htm\",\"         7\",\"    16\",\"world\"\r\n");
  // The listing holds the scanned lines only (not the script block), each
  // under a rule, with the scan position of every word in its print zone.
  const std::string rule(49, '=');
  const std::string zone(11, ' ');  // " 11" padded to its 14 columns
  EXPECT_EQ(ReadLines(t.root() / "page_02.txt"),
            (std::vector<std::string>{rule, "<html>", rule, "<br>ab", rule, "", rule,
                                      "<br>Hello, big world", " 11" + zone + "Hello,",
                                      " 15" + zone + "big", " 20" + zone + "world"}));
  EXPECT_EQ(ReadLines(t.root() / "dir_02.txt"),
            (std::vector<std::string>{"page_01.htm", "page_02.htm"}));
  EXPECT_EQ(t.OutLines(), (std::vector<std::string>{"processed 10%"}));
}

TEST(ExtractTest, PageStateStartsAfreshOnEveryPage) {
  TestRun t;
  // Page 1 leaves a tag and a script block open; page 2 is scanned as usual.
  WriteFile(t.root() / "page_01.htm", "<br>first <a href\r\n");
  WriteFile(t.root() / "page_02.htm", "plain words\r\n");
  WriteFile(t.root() / "page_03.htm", "<script>\r\n");
  WriteFile(t.root() / "page_04.htm", "more text\r\n");
  ExtractWords(t.run());
  std::vector<std::string> records = ReadLines(t.root() / "wrd_01.txt");
  ASSERT_EQ(records.size(), 5u);
  EXPECT_EQ(records[0].substr(0, 22), "\"first\",\"page_01.htm\",");
  EXPECT_EQ(records[1].substr(0, 22), "\"plain\",\"page_02.htm\",");
  EXPECT_EQ(records[3].substr(0, 21), "\"more\",\"page_04.htm\",");
}

TEST(ExtractTest, LongLinesKeepTheirNumbersWhole) {
  TestRun t;
  std::string page;
  for (int k = 0; k < 3; ++k) page += "\r\n";
  page += std::string(1000000, 'x') + " tail\r\n";
  WriteFile(t.root() / "page_01.htm", page);
  ExtractWords(t.run());
  std::vector<std::string> records = ReadLines(t.root() / "wrd_01.txt");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1], "\"tail\",\"page_01.htm\",\"         4\",\"1000002\",\"tail\"");
}

}  // namespace
}  // namespace scan
