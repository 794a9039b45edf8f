#include "driver/startup.h"

#include <gtest/gtest.h>

#include "run/screens.h"
#include "support/test_run.h"

namespace driver {
namespace {

TEST(StartupTest, FindCheckNeedsTheProgramInItsFolder) {
  // Without an .exe the find result holds only its header: one non-blank
  // line, too few for the find check (findstr would need just one).
  for (bool with_program : {true, false}) {
    testing_support::TestRun t("2\n1\n");
    if (with_program) testing_support::WriteFile(t.root() / "www.example.com.exe", "program");
    std::vector<std::string> expected = {
        std::string(27, '-'), "Checking the accessibility of some urgently needed programs:",
        "cmd.exe, find.exe, findstr.exe, sort.exe", "cmd", "find"};
    if (with_program) {
      EXPECT_NO_THROW(CheckTools(t.run()));
      expected.insert(expected.end(), {"findstr", "sort"});
    } else {
      EXPECT_THROW(CheckTools(t.run()), runctx::RunEnded);
      expected.insert(expected.end(),
                      {std::string(21, '-'), "Checking for find.exe!",
                       "The system path to the program is most likely to be configured.",
                       "<1> = continue and end"});
    }
    EXPECT_EQ(t.OutLines(), expected);
  }
}

}  // namespace
}  // namespace driver
