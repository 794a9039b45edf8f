// find and findstr: the header, the matching lines and the counts.
#include <gtest/gtest.h>

#include "platform/interpreter/interpreter.h"
#include "support/test_run.h"

namespace platform {
namespace {

using testing_support::ListFolder;
using testing_support::ReadFile;
using testing_support::ReadLines;
using testing_support::TestRun;
using testing_support::WriteFile;
using Lines = std::vector<std::string>;

TEST(FindTest, PrintsTheHeaderAndTheMatchingLines) {
  struct Case {
    std::string_view line, out;
  };
  const Case cases[] = {
      {"find /i \".exe\" check_01.txt",
       "\r\n---------- CHECK_01.TXT\r\nwww.example.com.EXE\r\nrun.exe now\r\n"},
      {"find \".exe\" check_01.txt", "\r\n---------- CHECK_01.TXT\r\nrun.exe now\r\n"},
      {"find /c \"id00000002\" check_01.txt", "\r\n---------- CHECK_01.TXT: 2\r\n"},
      {"find /c \"nothing\" Check_01.txt", "\r\n---------- CHECK_01.TXT: 0\r\n"},
      {"findstr \"id00000002\" check_01.txt", "\"id00000002\",\"a\"\r\n\"x\",\"id00000002\"\r\n"},
      {"findstr /i \"EXE other\" check_01.txt",
       "www.example.com.EXE\r\nrun.exe now\r\nother line\r\n"},
      {"findstr \"EXE\" check_01.txt", "www.example.com.EXE\r\n"},
  };
  for (const Case& c : cases) {
    TestRun t;
    WriteFile(t.root() / "check_01.txt",
              "www.example.com.EXE\r\nrun.exe now\r\n\"id00000002\",\"a\"\r\nother line\r\n"
              "\"x\",\"id00000002\"\n\"id00000003\",\"b\"");
    t.Command(c.line);
    EXPECT_EQ(t.out(), c.out) << c.line;
    EXPECT_EQ(t.err(), "") << c.line;
  }
}

TEST(FindTest, MissingFilesAreReportedOnTheErrorStream) {
  TestRun t;
  t.Command("find /c \"x\" none.txt > count.txt");
  t.Command("findstr \"x\" none.txt > lines.txt");
  EXPECT_EQ(ReadFile(t.root() / "count.txt"), "");
  EXPECT_EQ(ReadFile(t.root() / "lines.txt"), "");
  EXPECT_EQ(t.err(), "File not found - none.txt\r\nFINDSTR: Cannot open none.txt\r\n");
}

}  // namespace
}  // namespace platform
