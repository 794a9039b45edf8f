// dir on a temporary program folder: bare listings, the long form, and
// what it prints when nothing matches.
#include <gtest/gtest.h>

#include "platform/interpreter/interpreter.h"
#include "support/test_run.h"

namespace platform {
namespace {

using testing_support::ListFolder;
using testing_support::ReadFile;
using testing_support::SplitLines;
using testing_support::TestRun;
using testing_support::WriteFile;
using testing_support::WriteMixedCaseFolder;
using Lines = std::vector<std::string>;

TEST(DirTest, BareListingsOfPatternsAndFolders) {
  struct Case {
    std::string_view line;
    Lines names;
  };
  const Case cases[] = {
      {"dir /b *.txt", {"a.txt", "b.TXT"}},
      {"dir /b *.", {"Htm_In", "README"}},
      {"dir /b *.*", {"a.txt", "b.TXT", "Htm_In", "page.html", "README"}},
      {"dir /b *.htm*", {"page.html"}},
      {"dir /b htm_in\\*.htm", {"x.htm", "y.HTM"}},
      {"dir /b HTM_IN", {"sub", "x.htm", "y.HTM"}},
      {"dir /b  A.TXT", {"a.txt"}},
      {"DIR /B/S htm_in\\*.*",
       {"/Htm_In/sub", "/Htm_In/sub/z.htm", "/Htm_In/x.htm", "/Htm_In/y.HTM"}},
  };
  for (const Case& c : cases) {
    TestRun t;
    WriteMixedCaseFolder(t);
    t.Command(c.line);
    Lines expected = c.names;
    for (std::string& name : expected) {
      if (name[0] == '/') name = Paths::Native(t.root() / fs::path(name.substr(1)));
    }
    EXPECT_EQ(t.OutLines(), expected) << c.line;
    EXPECT_EQ(t.err(), "") << c.line;
  }
}

TEST(DirTest, NothingOnStandardOutputWhenNothingMatches) {
  TestRun t;
  WriteMixedCaseFolder(t);
  t.Command("dir /b *.list > dir_01.txt");
  EXPECT_EQ(ReadFile(t.root() / "dir_01.txt"), "");
  EXPECT_EQ(t.err(), "File Not Found\r\n");
}

TEST(DirTest, LongFormHasHeaderEntriesAndSummary) {
  TestRun t;
  WriteMixedCaseFolder(t);
  t.Command("dir *.");
  Lines lines = t.OutLines();
  ASSERT_GE(lines.size(), 7u);
  EXPECT_EQ(lines[0], " Directory of " + Paths::Native(t.root()));
  EXPECT_EQ(lines[1], "");
  EXPECT_TRUE(lines[2].ends_with("<DIR>          ."));
  EXPECT_TRUE(lines[3].ends_with("<DIR>          .."));
  EXPECT_TRUE(lines[4].ends_with("<DIR>          Htm_In"));
  EXPECT_TRUE(lines[5].ends_with(" 1 README"));
  EXPECT_EQ(lines[6], "               1 File(s)              1 bytes");
  EXPECT_TRUE(lines[7].find(" Dir(s) ") != std::string::npos);
  EXPECT_TRUE(lines[7].ends_with(" bytes free"));
}

}  // namespace
}  // namespace platform
