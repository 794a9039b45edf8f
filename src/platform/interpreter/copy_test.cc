// copy on a temporary program folder: what it prints and what it leaves
// on disk.
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

TEST(CopyTest, CopiesOneFileOrAWildcardIntoFoldersAndFiles) {
  TestRun t;
  WriteMixedCaseFolder(t);
  t.Command("md wrd_24");
  WriteFile(t.root() / "wrd_24" / "wrd_24_1.txt", "1");
  WriteFile(t.root() / "wrd_24" / "wrd_24_2.txt", "2");
  t.Command("copy wrd_24\\*.txt");
  EXPECT_EQ(t.OutLines(),
            (Lines{"wrd_24\\wrd_24_1.txt", "wrd_24\\wrd_24_2.txt", "        2 file(s) copied."}));
  EXPECT_EQ(ReadFile(t.root() / "wrd_24_2.txt"), "2");
  t.ClearOut();
  t.Command("copy a.txt htm_in");
  t.Command("copy /y b.txt HTM_IN\\");
  t.Command("copy a.txt c.txt");
  EXPECT_EQ(t.OutLines(), (Lines{"        1 file(s) copied.", "        1 file(s) copied.",
                                 "        1 file(s) copied."}));
  EXPECT_EQ(ReadFile(t.root() / "Htm_In" / "b.TXT"), "b");
  EXPECT_EQ(ReadFile(t.root() / "c.txt"), "a");
  // An existing target is overwritten, and keeps its name.
  t.Command("copy b.txt C.TXT > out_null.list");
  EXPECT_EQ(ReadFile(t.root() / "c.txt"), "b");
  EXPECT_FALSE(fs::exists(t.root() / "C.TXT"));
}

TEST(CopyTest, ReportsMissingSourcesAndCopiesOntoItself) {
  struct Case {
    std::string_view line;
    std::string out, err;
  };
  const Case cases[] = {
      {"copy missing.txt x.txt", "        0 file(s) copied.\r\n",
       "The system cannot find the file specified.\r\n"},
      {"copy *.none htm_in\\", "        0 file(s) copied.\r\n",
       "The system cannot find the file specified.\r\n"},
      {"copy a.txt A.TXT", "        0 file(s) copied.\r\n",
       "The file cannot be copied onto itself.\r\n"},
      {"copy a.txt nowhere\\", "        0 file(s) copied.\r\n",
       "The system cannot find the path specified.\r\n"},
  };
  for (const Case& c : cases) {
    TestRun t;
    WriteMixedCaseFolder(t);
    t.Command(c.line);
    EXPECT_EQ(t.out(), c.out) << c.line;
    EXPECT_EQ(t.err(), c.err) << c.line;
    EXPECT_EQ(ReadFile(t.root() / "a.txt"), "a");
  }
}

TEST(CopyTest, KeepsCaseTwinsApartAndNamesSkippedSources) {
  TestRun t;
  t.Command("md txt_in");
  t.Command("md txt_wrk");
  WriteFile(t.root() / "txt_in" / "a.txt", "lower");
  WriteFile(t.root() / "txt_in" / "A.txt", "upper");
  WriteFile(t.root() / "txt_in" / "A.TXT", "both");
  WriteFile(t.root() / "txt_in" / "a_2.txt", "taken");
  WriteFile(t.root() / "txt_in" / "b:c.txt", "colon");
  t.Command("copy txt_in\\*.txt txt_wrk\\ > out_null.list");
  EXPECT_EQ(t.err(), "skipped, name not allowed: b:c.txt\r\n");
  // Listing order A.TXT, A.txt, a.txt, a_2.txt: the later twins take the
  // first free number, past a_2 which another source holds.
  EXPECT_EQ(ListFolder(t.root() / "txt_wrk"), (Lines{"A.TXT", "A_3.txt", "a_2.txt", "a_4.txt"}));
  EXPECT_EQ(ReadFile(t.root() / "txt_wrk" / "A.TXT"), "both");
  EXPECT_EQ(ReadFile(t.root() / "txt_wrk" / "A_3.txt"), "upper");
  EXPECT_EQ(ReadFile(t.root() / "txt_wrk" / "a_4.txt"), "lower");
  EXPECT_EQ(ReadFile(t.root() / "txt_wrk" / "a_2.txt"), "taken");
  EXPECT_EQ(SplitLines(ReadFile(t.root() / "out_null.list")).back(), "        4 file(s) copied.");
}

}  // namespace
}  // namespace platform
