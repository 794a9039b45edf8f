#include "platform/interpreter/interpreter.h"

#include <gtest/gtest.h>

#include "support/test_run.h"

namespace platform {
namespace {

using testing_support::ListFolder;
using testing_support::ReadFile;
using testing_support::TestRun;
using testing_support::WriteFile;

TEST(InterpreterTest, RedirectsStandardOutputButNeverMessages) {
  TestRun t;
  WriteFile(t.root() / "a.txt", "x");
  t.Command("dir /b a.txt > list.txt");
  t.Command("dir /b missing.txt > none.txt");
  EXPECT_EQ(ReadFile(t.root() / "list.txt"), "a.txt\r\n");
  EXPECT_EQ(ReadFile(t.root() / "none.txt"), "");  // created, left empty
  EXPECT_EQ(t.out(), "");
  EXPECT_EQ(t.err(), "File Not Found\r\n");
}

TEST(InterpreterTest, AppendsAndCreatesEveryTargetOfALine) {
  TestRun t;
  WriteFile(t.root() / "a.txt", "x");
  t.Command("md htm_out");
  t.Command("dir /b a.txt >> log.txt");
  t.Command("dir /b a.txt>>log.txt");
  EXPECT_EQ(ReadFile(t.root() / "log.txt"), "a.txt\r\na.txt\r\n");
  // Every target is created in order; the last one receives the output.
  t.Command("dir /b a.txt > htm_out\\f_01.txt > out_null.list");
  EXPECT_TRUE(fs::exists(t.root() / "htm_out" / "f_01.txt"));
  EXPECT_EQ(ReadFile(t.root() / "htm_out" / "f_01.txt"), "");
  EXPECT_EQ(ReadFile(t.root() / "out_null.list"), "a.txt\r\n");
  // "dir > FILE" leaves a file that is not empty, even in an empty folder.
  t.Command("md htm_in");
  t.Command("dir > htm_in\\f_01.txt");
  EXPECT_NE(ReadFile(t.root() / "htm_in" / "f_01.txt"), "");
}

// Output into a discarded file goes nowhere once the file is there (a
// missing one is made and written as before); messages still reach the
// console, the command still runs, and other targets are written.
TEST(InterpreterTest, DiscardedOutputLeavesItsFileAsItWas) {
  TestRun t;
  WriteFile(t.root() / "a.txt", "x");
  t.run().interpreter.DiscardInto("out_null.list");
  t.Command("dir /b a.txt > out_null.list");
  EXPECT_EQ(ReadFile(t.root() / "out_null.list"), "a.txt\r\n");
  WriteFile(t.root() / "out_null.list", "kept");
  t.Command("copy a.txt b.txt > OUT_NULL.LIST");
  t.Command("dir /b missing.txt >> out_null.list");
  EXPECT_EQ(ReadFile(t.root() / "out_null.list"), "kept");
  EXPECT_EQ(ReadFile(t.root() / "b.txt"), "x");
  EXPECT_EQ(t.err(), "File Not Found\r\n");
  t.Command("dir /b a.txt > out_null.txt");
  EXPECT_EQ(ReadFile(t.root() / "out_null.txt"), "a.txt\r\n");
}

TEST(InterpreterTest, RefusesTargetsItCannotCreateAndSkipsTheCommand) {
  TestRun t;
  t.Command("md made > missing\\out.txt");
  EXPECT_FALSE(fs::exists(t.root() / "made"));
  EXPECT_EQ(t.err(), "The system cannot find the path specified.\r\n");
  t.ClearOut();
  t.Command("md made > ..\\out.txt");
  EXPECT_FALSE(fs::exists(t.root() / "made"));
  EXPECT_FALSE(fs::exists(t.root().parent_path() / "out.txt"));
  EXPECT_EQ(t.err(), "Access is denied.\r\n");
  t.ClearOut();
  t.Command("chcp > nul");
  EXPECT_EQ(t.out(), "");
}

TEST(InterpreterTest, PrintsTheHomePlatformsTextsForBuiltIns) {
  struct Case {
    std::string_view line, out, err;
  };
  const Case cases[] = {
      {"chcp", "Active code page: 65001\r\n", ""},
      {"CHCP", "Active code page: 65001\r\n", ""},
      {"frobnicate x y", "",
       "'frobnicate' is not recognized as an internal or external command,\r\n"
       "operable program or batch file.\r\n"},
      {"cd ..", "", ""},
      {"   ", "", ""},
  };
  for (const Case& c : cases) {
    TestRun t;
    t.Command(c.line);
    EXPECT_EQ(t.out(), c.out) << c.line;
    EXPECT_EQ(t.err(), c.err) << c.line;
  }
}

// Found by fuzzing: a NUL in a path made the host see a shorter path than
// the one checked, and "dir /s" listed the folder inside itself forever.
TEST(InterpreterTest, NothingAfterANulByteIsRun) {
  TestRun t;
  WriteFile(t.root() / "sub" / "a.txt", "x");
  t.Command(std::string_view("dir /b /s \0/x", 13));
  EXPECT_EQ(t.out(),
            (t.root() / "sub").string() + "\r\n" + (t.root() / "sub" / "a.txt").string() + "\r\n");
  t.Command(std::string_view("dir /b sub\0 > skipped.txt", 25));
  EXPECT_FALSE(fs::exists(t.root() / "skipped.txt"));
}

TEST(InterpreterTest, CdHasNoEffectOnTheNextLine) {
  TestRun t;
  t.Command("md sub");
  t.Command("cd sub");
  t.Command("cd ..");
  t.Command("md made");
  EXPECT_TRUE(fs::is_directory(t.root() / "made"));
  EXPECT_FALSE(fs::exists(t.root() / "sub" / "made"));
}

TEST(InterpreterTest, CmdRunsTheRestNestedIntoTheSameTarget) {
  TestRun t;
  t.Command("cmd /c dir *. > check_01.txt");
  std::string listing = ReadFile(t.root() / "check_01.txt");
  EXPECT_NE(listing.find(" Directory of "), std::string::npos);
  EXPECT_EQ(t.out(), "");
  t.Command("cmd /c chcp");
  EXPECT_EQ(t.out(), "Active code page: 65001\r\n");
}

TEST(InterpreterTest, ForRunsTheBodyOncePerMatchingFile) {
  TestRun t;
  WriteFile(t.root() / "check_02.txt", "b");
  WriteFile(t.root() / "check_01.txt", "a");
  WriteFile(t.root() / "keep.txt", "k");
  t.Command("md check_dir.txt");  // a folder: never an item of the set
  t.Command("dir > out_null.txt");
  t.Command("cmd /c for %i in (check_*.txt) do del /q %i >> out_null.txt");
  EXPECT_EQ(ListFolder(t.root()),
            (std::vector<std::string>{"check_dir.txt", "keep.txt", "out_null.txt"}));
  EXPECT_EQ(t.err(), "");
  // Items keep the pattern's folder prefix.
  WriteFile(t.root() / "sub" / "x.txt", "x");
  t.Command("for %i in (sub\\*.txt) do copy %i y.txt > out_null.txt");
  EXPECT_EQ(ReadFile(t.root() / "y.txt"), "x");
}

}  // namespace
}  // namespace platform
