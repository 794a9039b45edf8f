// del on a temporary program folder: files go, folders stay.
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

TEST(DelTest, DeletesMatchingFilesNeverFolders) {
  TestRun t;
  WriteMixedCaseFolder(t);
  t.Command("md stay.html");
  t.Command("del /q *.htm*");
  EXPECT_FALSE(fs::exists(t.root() / "page.html"));
  EXPECT_TRUE(fs::is_directory(t.root() / "stay.html"));
  t.Command("del /q HTM_IN");  // a folder named: all its files
  EXPECT_EQ(ListFolder(t.root() / "Htm_In"), (Lines{"sub"}));
  EXPECT_EQ(t.err(), "");
  t.Command("del /q htm_in\\*.*");
  EXPECT_EQ(t.err(), "Could Not Find " + Paths::Native(t.root() / "Htm_In" / "*.*") + "\r\n");
  t.ClearOut();
  t.Command("del /q A.TXT b.txt");
  EXPECT_FALSE(fs::exists(t.root() / "a.txt"));
  EXPECT_FALSE(fs::exists(t.root() / "b.TXT"));
}

}  // namespace
}  // namespace platform
