// rename on a temporary program folder.
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
using Lines = std::vector<std::string>;

TEST(RenameTest, RenamesWithinItsFolder) {
  TestRun t;
  WriteFile(t.root() / "txt_wrk" / "my notes.txt", "1");
  WriteFile(t.root() / "txt_wrk" / "taken.txt", "2");
  t.Command("rename \"txt_wrk\\my notes.txt\" my_notes.txt");
  EXPECT_EQ(ListFolder(t.root() / "txt_wrk"), (Lines{"my_notes.txt", "taken.txt"}));
  EXPECT_EQ(t.err(), "");
  const std::string duplicate = "A duplicate file name exists, or the file cannot be found.\r\n";
  t.Command("rename txt_wrk\\my_notes.txt TAKEN.TXT");
  EXPECT_EQ(t.err(), duplicate);
  t.ClearOut();
  t.Command("rename txt_wrk\\gone.txt new.txt");
  EXPECT_EQ(t.err(), duplicate);
  EXPECT_EQ(ReadFile(t.root() / "txt_wrk" / "taken.txt"), "2");
  t.ClearOut();
  t.Command("rename txt_wrk\\my_notes.txt My_Notes.txt");  // a change of case only
  EXPECT_EQ(ListFolder(t.root() / "txt_wrk"), (Lines{"My_Notes.txt", "taken.txt"}));
}

}  // namespace
}  // namespace platform
