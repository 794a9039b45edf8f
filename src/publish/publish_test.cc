#include "publish/publish.h"

#include <gtest/gtest.h>

#include "run/screens.h"
#include "support/test_run.h"

namespace publish {
namespace {

using testing_support::ListFolder;
using testing_support::TestRun;
using testing_support::WriteFile;

TEST(PublishTest, CopiesWhatExistsAndGoesOnPastAMissingPage) {
  TestRun t("\n");
  WriteFile(t.root() / "dir_02.txt", "page_01.htm\r\npage_02.htm\r\n");
  WriteFile(t.root() / "page_01.htm", "one");  // page_02.htm is gone
  for (const char* name : {"files_list.htm", "i_1.htm", "s_1.htm", "index.htm", "wrd_01.txt",
                           "id00000000.txt", "out_null.list", "f_promote_01.htm"}) {
    WriteFile(t.root() / name, name);
  }
  WriteFile(t.root() / "htm_out" / "stale.htm", "old");
  WriteFile(t.root() / "htm_in" / "a.htm", "a");
  WriteFile(t.root() / "htm_ndx" / "htm_in" / "a.htm", "a");
  WriteFile(t.root() / "wrd_24" / "wrd_24_1.txt", "w");
  WriteFile(t.root() / "txt_in" / "a.txt", "input");
  try {
    Publish(t.run());
    FAIL() << "the results screen did not end the program";
  } catch (const runctx::RunEnded& end) {
    EXPECT_EQ(end.status, 0);
  }
  EXPECT_EQ(ListFolder(t.root() / "htm_out"),
            (std::vector<std::string>{"files_list.htm", "i_1.htm", "index.htm", "page_01.htm",
                                      "s_1.htm"}));
  EXPECT_EQ(ListFolder(t.root()), (std::vector<std::string>{"dir_01.txt", "htm_out", "txt_in"}));
  std::vector<std::string> lines = t.OutLines();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines.front(), "processed 90%");
  EXPECT_EQ(lines[lines.size() - 3], "details: https://www.example.org");
  EXPECT_EQ(lines.back(), "<...> any key to continue and end");
}

// A run that cannot fill htm_out must not end in "Indexing is done.": the
// copies only print why they failed, so what htm_out holds is checked.
TEST(PublishTest, AnHtmOutThatCannotTakeThePagesStopsTheRun) {
  TestRun t("\n");
  WriteFile(t.root() / "dir_02.txt", "page_01.htm\r\n");
  for (const char* name : {"page_01.htm", "files_list.htm", "i_1.htm", "s_1.htm", "index.htm"}) {
    WriteFile(t.root() / name, name);
  }
  WriteFile(t.root() / "htm_out", "a file where the folder should be");
  try {
    Publish(t.run());
    FAIL() << "the run went on to its results screen";
  } catch (const common::IoError& error) {
    EXPECT_EQ(error.path(), "htm_out\\page_01.htm");
    EXPECT_EQ(error.reason(), "htm_out is not a folder");
  }
  // The work files stay for the next run to clear.
  EXPECT_TRUE(std::filesystem::exists(t.root() / "index.htm"));
  EXPECT_EQ(testing_support::ReadFile(t.root() / "htm_out"), "a file where the folder should be");
}

}  // namespace
}  // namespace publish
