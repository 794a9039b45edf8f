// md and rd on a temporary program folder.
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

TEST(MdRdTest, CreatesAndRemovesFolders) {
  TestRun t;
  t.Command("md htm_ndx\\htm_in");
  EXPECT_TRUE(fs::is_directory(t.root() / "htm_ndx" / "htm_in"));
  t.Command("md HTM_NDX");
  EXPECT_EQ(t.err(), "A subdirectory or file HTM_NDX already exists.\r\n");
  t.ClearOut();
  t.Command("rd htm_ndx");
  EXPECT_EQ(t.err(), "The directory is not empty.\r\n");
  EXPECT_TRUE(fs::is_directory(t.root() / "htm_ndx" / "htm_in"));
  t.ClearOut();
  t.Command("rd htm_ndx\\HTM_IN");
  t.Command("rd htm_ndx");
  EXPECT_FALSE(fs::exists(t.root() / "htm_ndx"));
  t.Command("rd htm_ndx");
  EXPECT_EQ(t.err(), "The system cannot find the file specified.\r\n");
}

}  // namespace
}  // namespace platform
