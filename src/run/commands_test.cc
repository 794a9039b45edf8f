#include "run/commands.h"

#include <gtest/gtest.h>

#include "run/screens.h"
#include "support/test_run.h"

namespace runctx {
namespace {

using testing_support::TestRun;
using testing_support::WriteFile;

// Runs `prompt` and tells whether it ended the program.
template <typename Prompt>
bool Ends(TestRun& t, Prompt prompt) {
  try {
    prompt(t.run());
  } catch (const RunEnded& end) {
    EXPECT_EQ(end.status, 0);
    return true;
  }
  return false;
}

TEST(CommandsTest, ContinueOrEndIgnoresOtherKeysAndPrintsOptionsOnce) {
  TestRun go("x\n3\n\n1\n");
  EXPECT_FALSE(Ends(go, ContinueOrEnd));
  EXPECT_EQ(go.OutLines(), (std::vector<std::string>{"<1> continue", "<2> end"}));
  TestRun stop("a\n2\n1\n");
  EXPECT_TRUE(Ends(stop, ContinueOrEnd));
  TestRun eof("x\n");
  EXPECT_TRUE(Ends(eof, ContinueOrEnd));
}

TEST(CommandsTest, AcknowledgeAndEndTakesOnlyOne) {
  TestRun t("2\n2\n1\n");
  EXPECT_TRUE(Ends(t, AcknowledgeAndEnd));
  EXPECT_EQ(t.OutLines(), (std::vector<std::string>{"<1> = continue and end"}));
  // Only the 1 ends it: no input is left after the three answers.
  EXPECT_FALSE(t.run().console.ReadKey().has_value());
}

TEST(CommandsTest, KeyPromptsTakeAnyKey) {
  TestRun end("q\nnext\n");
  EXPECT_TRUE(Ends(end, KeyPromptAndEnd));
  EXPECT_EQ(end.OutLines(), (std::vector<std::string>{"<...> any key to continue and end"}));
  TestRun pause("\n");
  EXPECT_FALSE(Ends(pause, KeyPause));
  TestRun pause_at_end("");
  EXPECT_TRUE(Ends(pause_at_end, KeyPause));
}

TEST(CommandsTest, ProgressAndRules) {
  TestRun t;
  Progress(t.run(), 10);
  EXPECT_EQ(t.out(), "processed 10%\r\n");
  EXPECT_EQ(Rule(3), "---");
  EXPECT_EQ(Rule(2, '='), "==");
}

TEST(CommandsTest, FolderDetectionIsASubstringTest) {
  TestRun t;
  std::filesystem::create_directory(t.root() / "Old_Htm_In");
  EXPECT_TRUE(DetectFolder(t.run(), "dir /b *. > dir_01.txt", "dir_01.txt", "htm_in"));
  EXPECT_FALSE(DetectFolder(t.run(), "dir /b *. > dir_01.txt", "dir_01.txt", "htm_out"));
  EXPECT_TRUE(DetectFolder(t.run(), "dir *. > dir_cur.txt", "dir_cur.txt", "htm_in",
                           /*long_form=*/true));
}

TEST(CommandsTest, DeleteListedKeepsItsOwnListing) {
  TestRun t;
  WriteFile(t.root() / "a.txt", "a");
  WriteFile(t.root() / "B.TXT", "b");
  WriteFile(t.root() / "dir_01.txt", "old");
  WriteFile(t.root() / "keep.htm", "k");
  DeleteListed(t.run(), "*.txt");
  EXPECT_EQ(testing_support::ListFolder(t.root()),
            (std::vector<std::string>{"dir_01.txt", "keep.htm"}));
}

TEST(CommandsTest, DeleteListedWithAFolderPrefix) {
  TestRun t;
  WriteFile(t.root() / "htm_out" / "Page_01.htm", "p");
  WriteFile(t.root() / "htm_out" / "index.htm", "i");
  DeleteListed(t.run(), "htm_out\\*.*", "htm_out\\");
  EXPECT_TRUE(testing_support::ListFolder(t.root() / "htm_out").empty());
}

TEST(CommandsTest, RemoveTreeRemovesFilesThenTheFolder) {
  TestRun t;
  WriteFile(t.root() / "htm_wrk" / "A.htm", "a");
  WriteFile(t.root() / "htm_wrk" / "b.htm", "b");
  RemoveTree(t.run(), "htm_wrk");
  EXPECT_FALSE(std::filesystem::exists(t.root() / "htm_wrk"));
}

TEST(CommandsTest, DeletionNeverLeavesTheFolder) {
  testing_support::ScopedTempDir outside;
  WriteFile(outside.path() / "target.txt", "keep me");
  TestRun t;
  std::filesystem::create_symlink(outside.path() / "target.txt", t.root() / "x.txt");
  DeleteListed(t.run(), "*.txt");
  EXPECT_FALSE(std::filesystem::is_symlink(t.root() / "x.txt"));
  EXPECT_EQ(testing_support::ReadFile(outside.path() / "target.txt"), "keep me");
}

}  // namespace
}  // namespace runctx
