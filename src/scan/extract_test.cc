#include "scan/extract.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_run.h"

namespace scan {
namespace {

using testing_support::OccurrenceLines;
using testing_support::ReadLines;
using testing_support::TestRun;
using testing_support::WriteFile;
using Lines = std::vector<std::string>;

TEST(ExtractTest, WorkedExampleWordForWord) {
  TestRun t;
  WriteFile(t.root() / "page_01.htm", "<br>promo\r\n");
  WriteFile(t.root() / "page_02.htm",
            "<html>\r\n<script>\r\nvar hidden;\r\n</script>\r\n<br>ab\r\n\r\n"
            "<br>Hello, big world\r\n");
  ExtractWords(t.run());
  // Ids are set by the word lists; before them every word has id 0.
  EXPECT_EQ(OccurrenceLines(t.run()),
            (Lines{"page_01.htm 1 5 promo id00000000 1", "page_02.htm 7 5 Hello, id00000000 1",
                   "page_02.htm 7 12 big id00000000 1", "page_02.htm 7 16 world id00000000 1"}));
  EXPECT_EQ(ReadLines(t.root() / "dir_02.txt"), (Lines{"page_01.htm", "page_02.htm"}));
  EXPECT_EQ(t.OutLines(), Lines{"processed 10%"});
}

TEST(ExtractTest, PageStateStartsAfreshOnEveryPage) {
  TestRun t;
  // Page 1 leaves a tag and a script block open; page 2 is scanned as usual.
  WriteFile(t.root() / "page_01.htm", "<br>first <a href\r\n");
  WriteFile(t.root() / "page_02.htm", "plain words\r\n");
  WriteFile(t.root() / "page_03.htm", "<script>\r\n");
  WriteFile(t.root() / "page_04.htm", "more text\r\n");
  ExtractWords(t.run());
  Lines words = OccurrenceLines(t.run());
  ASSERT_EQ(words.size(), 5u);
  EXPECT_EQ(words[0].substr(0, 17), "page_01.htm 1 5 f");
  EXPECT_EQ(words[1].substr(0, 17), "page_02.htm 1 1 p");
  EXPECT_EQ(words[3].substr(0, 17), "page_04.htm 1 1 m");
}

TEST(ExtractTest, LongLinesKeepTheirNumbersWhole) {
  TestRun t;
  std::string page;
  for (int k = 0; k < 3; ++k) page += "\r\n";
  page += std::string(1000000, 'x') + " tail\r\n";
  WriteFile(t.root() / "page_01.htm", page);
  ExtractWords(t.run());
  Lines words = OccurrenceLines(t.run());
  ASSERT_EQ(words.size(), 2u);
  EXPECT_EQ(words[1], "page_01.htm 4 1000002 tail id00000000 1");
}

}  // namespace
}  // namespace scan
