#include "run/clean_up.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "support/test_run.h"

namespace runctx {
namespace {

namespace fs = std::filesystem;
using testing_support::ListFolder;
using testing_support::ReadFile;
using testing_support::WriteFile;

// Once the pages are numbered, the folders the page set read are emptied
// of their files and links (links as links, their targets untouched) and
// removed when nothing else stands in them; a folder in one stays, and a
// linked work folder is never emptied through.
TEST(CleanUpTest, TheFoldersThePageSetReadAreEmptiedAndRemovedOnceEmpty) {
  testing_support::TestRun t;
  testing_support::ScopedTempDir outside;
  WriteFile(outside.path() / "keep.txt", "keep");
  WriteFile(t.root() / "htm_in" / "a.htm", "a");
  WriteFile(t.root() / "htm_in" / "sub" / "b.htm", "b");
  WriteFile(t.root() / "htm_wrk" / "c.htm", "c");
  WriteFile(t.root() / "txt_wrk.list", "c.txt");
  // Links where the host makes them (not under every Windows layer).
  std::error_code no_links;
  fs::create_symlink(outside.path() / "keep.txt", t.root() / "htm_in" / "file_link.htm", no_links);
  if (!no_links) {
    fs::create_directory_symlink(outside.path(), t.root() / "htm_in" / "folder_link");
    fs::create_directory_symlink(outside.path(), t.root() / "txt_wrk");
  }
  RemoveReadUpTo(t.run(), LastReader::kPageSet);
  EXPECT_EQ(ListFolder(t.root() / "htm_in"), (std::vector<std::string>{"sub"}));
  EXPECT_FALSE(fs::exists(t.root() / "htm_wrk"));
  EXPECT_FALSE(fs::exists(t.root() / "txt_wrk.list"));
  EXPECT_EQ(ListFolder(outside.path()), (std::vector<std::string>{"keep.txt"}));
  EXPECT_EQ(ReadFile(outside.path() / "keep.txt"), "keep");
  EXPECT_EQ(t.run().emptied_folders, (std::vector<std::string>{"htm_in", "htm_wrk"}));
  if (!no_links) {
    EXPECT_TRUE(fs::is_symlink(t.root() / "txt_wrk"));
  }
}

}  // namespace
}  // namespace runctx
