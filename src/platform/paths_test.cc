// Confinement: nothing outside the program's folder is ever written,
// deleted, renamed or removed, whatever path or link a command is given.
// A sentinel folder beside the program's folder must stay as it was.
#include "platform/paths.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "common/bytes.h"
#include "common/lines.h"
#include "platform/interpreter/interpreter.h"
#include "support/test_run.h"

namespace platform {
namespace {

using testing_support::ReadFile;
using testing_support::ScopedTempDir;
using testing_support::WriteFile;

// <outer>/prog is the program's folder; <outer>/sentinel lies beside it and
// is reached from inside by "..", by absolute paths and by two links.
class ConfinedFolder {
 public:
  ConfinedFolder()
      : prog_(Make(outer_.path() / "prog")),
        paths_(prog_),
        console_(in_, out_, err_, /*terminal=*/false),
        shell_(paths_, console_) {
    WriteFile(sentinel() / "keep.txt", "sentinel");
    fs::create_directory(sentinel() / "empty");
    WriteFile(prog_ / "x.txt", "inside");
    fs::create_directory_symlink(sentinel(), prog_ / "out_link");
    fs::create_symlink(sentinel() / "keep.txt", prog_ / "file_link.txt");
  }

  fs::path sentinel() const { return outer_.path() / "sentinel"; }
  const fs::path& prog() const { return prog_; }
  Paths& paths() { return paths_; }
  std::string Run(std::string_view line) {
    err_.str("");
    shell_.Run(line);
    return err_.str();
  }
  std::string out() const { return out_.str(); }

  // Every entry of the sentinel folder with its bytes.
  std::map<std::string, std::string> Sentinel() const {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(sentinel())) {
      entries[fs::relative(entry.path(), sentinel()).string()] = ReadFile(entry.path());
    }
    return entries;
  }

 private:
  static fs::path Make(const fs::path& folder) {
    fs::create_directories(folder);
    return folder;
  }

  ScopedTempDir outer_;
  fs::path prog_;
  Paths paths_;
  std::istringstream in_;
  std::ostringstream out_, err_;
  Console console_;
  Interpreter shell_;
};

TEST(PathsTest, ResolvesInsideAndWhateverTheCase) {
  ConfinedFolder f;
  Paths& paths = f.paths();
  EXPECT_EQ(paths.Resolve("X.TXT"), f.prog() / "x.txt");
  EXPECT_EQ(paths.Resolve("sub\\..\\new.txt"), f.prog() / "new.txt");
  EXPECT_EQ(paths.Resolve(""), f.prog());
  EXPECT_EQ(paths.Resolve(common::Lower(Paths::Native(f.prog() / "x.txt"))), f.prog() / "x.txt");
  EXPECT_EQ(paths.Resolve(".."), std::nullopt);
  EXPECT_EQ(paths.Resolve("..\\sentinel\\keep.txt"), std::nullopt);
  EXPECT_EQ(paths.Resolve((f.sentinel() / "keep.txt").string()), std::nullopt);
  // A link may be read through; writing through one that leads out is refused.
  EXPECT_EQ(paths.Resolve("out_link\\keep.txt"), f.prog() / "out_link" / "keep.txt");
  EXPECT_EQ(paths.ResolveForWrite("out_link\\keep.txt"), std::nullopt);
  EXPECT_EQ(paths.ResolveForWrite("file_link.txt"), std::nullopt);
  EXPECT_EQ(paths.ResolveForRemove("file_link.txt"), f.prog() / "file_link.txt");
  EXPECT_EQ(paths.ResolveForRemove("out_link\\keep.txt"), std::nullopt);
  EXPECT_THROW(paths.ForWrite("..\\x.txt"), common::IoError);
  EXPECT_EQ(paths.ForRead("..\\sentinel\\keep.txt"), fs::path());
}

TEST(PathsTest, OfTwoNamesEqualButForCaseFindsTheOneListedFirst) {
  ConfinedFolder f;
  WriteFile(f.prog() / "aB.txt", "second");
  WriteFile(f.prog() / "Ab.txt", "first");
  EXPECT_EQ(f.paths().Resolve("AB.TXT"), f.prog() / "Ab.txt");
  EXPECT_EQ(f.paths().Resolve("aB.txt"), f.prog() / "aB.txt");
}

TEST(PathsTest, CommandsNeverChangeAnythingOutsideTheFolder) {
  ConfinedFolder f;
  const auto before = f.Sentinel();
  std::string outside = Paths::Native(f.sentinel());
  const std::string lines[] = {
      "del /q ..\\sentinel\\keep.txt",
      "del /q ..\\sentinel\\*.*",
      "del /q " + outside + "/keep.txt",
      "del /q out_link\\*.*",
      "del /q out_link",
      "copy x.txt ..\\",
      "copy x.txt ..\\sentinel\\keep.txt",
      "copy /y x.txt " + outside + "/",
      "copy x.txt out_link\\",
      "copy x.txt file_link.txt",
      "md ..\\sentinel\\made",
      "md out_link\\made",
      "rd ..\\sentinel\\empty",
      "rd out_link\\empty",
      "rename ..\\sentinel\\keep.txt moved.txt",
      "rename out_link\\keep.txt moved.txt",
      "dir > ..\\sentinel\\keep.txt",
      "dir >> out_link\\keep.txt",
      "dir > file_link.txt",
      "sort x.txt /o out_link\\keep.txt",
      "cmd /c for %i in (x.txt) do copy %i ..\\sentinel\\",
  };
  for (const std::string& line : lines) {
    std::string err = f.Run(line);
    EXPECT_NE(err.find("Access is denied."), std::string::npos) << line << ": " << err;
    EXPECT_EQ(f.Sentinel(), before) << line;
  }
  EXPECT_EQ(ReadFile(f.prog() / "x.txt"), "inside");
}

TEST(PathsTest, RemovingALinkLeavesItsTarget) {
  ConfinedFolder f;
  const auto before = f.Sentinel();
  EXPECT_EQ(f.Run("del /q file_link.txt"), "");
  EXPECT_EQ(f.Run("rd out_link"), "");
  EXPECT_FALSE(fs::exists(fs::symlink_status(f.prog() / "file_link.txt")));
  EXPECT_FALSE(fs::exists(fs::symlink_status(f.prog() / "out_link")));
  EXPECT_EQ(f.Sentinel(), before);
}

TEST(PathsTest, ReadsThroughLinksButNeverDescendsIntoLinkedFolders) {
  ConfinedFolder f;
  EXPECT_EQ(f.Run("copy file_link.txt copied.txt > nul"), "");
  EXPECT_EQ(ReadFile(f.prog() / "copied.txt"), "sentinel");
  fs::create_directory(f.prog() / "sub");
  WriteFile(f.prog() / "sub" / "a.txt", "a");
  fs::create_directory_symlink(f.sentinel(), f.prog() / "sub" / "linked");
  f.Run("dir /b /s sub\\*.* > tree.txt");
  EXPECT_EQ(testing_support::ReadLines(f.prog() / "tree.txt"),
            (std::vector<std::string>{Paths::Native(f.prog() / "sub" / "a.txt"),
                                      Paths::Native(f.prog() / "sub" / "linked")}));
  // The listed paths, lower-cased as the phases do, name the same entries.
  EXPECT_EQ(f.Run("del /q " + common::Lower(Paths::Native(f.prog() / "sub" / "a.txt"))), "");
  EXPECT_FALSE(fs::exists(f.prog() / "sub" / "a.txt"));
}

TEST(PathsTest, NamesTheHomePlatformCannotHoldAreInvisible) {
  ConfinedFolder f;
  WriteFile(f.prog() / "a:b.txt", "colon");
  WriteFile(f.prog() / "tab\t.txt", "tab");
  f.Run("dir /b *.txt > list.txt");
  EXPECT_EQ(ReadFile(f.prog() / "list.txt"), "file_link.txt\r\nlist.txt\r\nx.txt\r\n");
  EXPECT_EQ(f.Run("md bad|name"),
            "The filename, directory name, or volume label syntax is incorrect.\r\n");
  EXPECT_FALSE(IsAllowedName("a?b"));
  EXPECT_TRUE(IsAllowedName("my notes.txt"));
}

// Copies inside the folder share their data; writing one name must never
// change another.
TEST(PathsTest, CopiesStayIndependentWhenEitherIsWritten) {
  testing_support::TestRun t;
  WriteFile(t.root() / "a.txt", "one\r\n");
  t.Command("copy a.txt b.txt > out_null.list");
  t.Command("copy a.txt c.txt > out_null.list");
  EXPECT_EQ(ReadFile(t.root() / "b.txt"), "one\r\n");
  {
    common::LineWriter afresh(t.run().paths.ForWrite("a.txt"));
    afresh.Line("two");
  }
  {
    common::LineWriter more(t.run().paths.ForWrite("b.txt"), /*append=*/true);
    more.Line("more");
  }
  t.Command("dir > c.txt");
  EXPECT_EQ(ReadFile(t.root() / "a.txt"), "two\r\n");
  EXPECT_EQ(ReadFile(t.root() / "b.txt"), "one\r\nmore\r\n");
  EXPECT_NE(ReadFile(t.root() / "c.txt"), "one\r\n");
  // Copying again onto a name that already shares the data is a copy.
  t.Command("copy b.txt d.txt > out_null.list");
  t.Command("copy b.txt d.txt > out_null.list");
  EXPECT_EQ(t.err(), "");
  EXPECT_EQ(ReadFile(t.root() / "d.txt"), "one\r\nmore\r\n");
}

}  // namespace
}  // namespace platform
