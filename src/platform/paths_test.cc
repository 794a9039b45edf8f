// Confinement: nothing outside the program's folder is ever written,
// deleted, renamed or removed, whatever path or link a command is given.
// A sentinel folder beside the program's folder must stay as it was.
#include "platform/paths.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "common/bytes.h"
#include "common/limits.h"
#include "platform/interpreter/interpreter.h"
#include "platform/lines.h"
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
        shell_(paths_, console_, limits_) {
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
  common::Limits limits_;
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
  // A link may be read through; a linked folder is never written through,
  // and a link written to is replaced (see WritersReplaceLinksAndNeverFollowLinkedFolders).
  EXPECT_EQ(paths.Resolve("out_link\\keep.txt"), f.prog() / "out_link" / "keep.txt");
  EXPECT_EQ(paths.ResolveForWrite("out_link\\keep.txt"), std::nullopt);
  EXPECT_EQ(paths.ResolveForWrite("file_link.txt"), f.prog() / "file_link.txt");
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
      "md ..\\sentinel\\made",
      "md out_link\\made",
      "rd ..\\sentinel\\empty",
      "rd out_link\\empty",
      "rename ..\\sentinel\\keep.txt moved.txt",
      "rename out_link\\keep.txt moved.txt",
      "dir > ..\\sentinel\\keep.txt",
      "dir >> out_link\\keep.txt",
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

// A path without links is trusted only while the program's folder is the
// one the run began in: a link put in its place is never written through.
TEST(PathsTest, NothingGoesThroughALinkThatTookTheFoldersPlace) {
  ConfinedFolder f;
  const auto before = f.Sentinel();
  fs::rename(f.prog(), f.prog().string() + "_moved");
  fs::create_directory_symlink(f.sentinel(), f.prog());
  EXPECT_EQ(f.paths().ResolveForWrite("keep.txt"), std::nullopt);
  EXPECT_THROW(f.paths().ForWrite("new.txt"), common::IoError);
  EXPECT_EQ(f.paths().ResolveForRemove("keep.txt"), std::nullopt);
  EXPECT_NE(f.Run("del /q keep.txt").find("Access is denied."), std::string::npos);
  EXPECT_NE(f.Run("copy keep.txt made.txt").find("Access is denied."), std::string::npos);
  EXPECT_EQ(f.Sentinel(), before);
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

// Links are never written or deleted through, wherever they point: into
// the program's own folder (an input file, a folder of inputs) as much as
// outside. A link named like the target is replaced by a new file; a path
// through a linked folder is refused.
TEST(PathsTest, WritersReplaceLinksAndNeverFollowLinkedFolders) {
  struct Case {
    const char* line;
    const char* replaced;  // the link that becomes a file of its own; nullptr: refused
  } cases[] = {
      {"dir > in_link.txt", "in_link.txt"},      {"dir >> in_link.txt", "in_link.txt"},
      {"copy x.txt in_link.txt", "in_link.txt"}, {"sort x.txt /o in_link.txt", "in_link.txt"},
      {"dir > file_link.txt", "file_link.txt"},  {"copy x.txt file_link.txt", "file_link.txt"},
      {"dir > inputs_link\\a.txt", nullptr},     {"copy x.txt inputs_link\\", nullptr},
      {"md inputs_link\\made", nullptr},         {"del /q inputs_link\\*.*", nullptr},
      {"del /q inputs_link\\a.txt", nullptr},    {"rename inputs_link\\a.txt b.txt", nullptr},
      {"rd inputs_link\\sub", nullptr},
  };
  for (const Case& c : cases) {
    ConfinedFolder f;
    WriteFile(f.prog() / "inputs" / "a.txt", "input");
    fs::create_directory(f.prog() / "inputs" / "sub");
    fs::create_symlink(f.prog() / "inputs" / "a.txt", f.prog() / "in_link.txt");
    fs::create_directory_symlink(f.prog() / "inputs", f.prog() / "inputs_link");
    const auto before = f.Sentinel();
    std::string err = f.Run(c.line);
    EXPECT_EQ(ReadFile(f.prog() / "inputs" / "a.txt"), "input") << c.line;
    EXPECT_TRUE(fs::is_directory(f.prog() / "inputs" / "sub")) << c.line;
    EXPECT_EQ(testing_support::ListFolder(f.prog() / "inputs"),
              (std::vector<std::string>{"a.txt", "sub"}))
        << c.line;
    EXPECT_EQ(f.Sentinel(), before) << c.line;
    if (c.replaced == nullptr) {
      EXPECT_NE(err.find("Access is denied."), std::string::npos) << c.line << ": " << err;
      continue;
    }
    EXPECT_EQ(err, "") << c.line;
    fs::file_status status = fs::symlink_status(f.prog() / c.replaced);
    EXPECT_TRUE(fs::is_regular_file(status)) << c.line;
  }
  // The phases' own writer replaces a link the same way.
  ConfinedFolder f;
  platform::LineWriter writer(f.paths().Create(f.paths().ForWrite("file_link.txt")));
  writer.Line("written");
  writer.Close();
  EXPECT_EQ(ReadFile(f.prog() / "file_link.txt"), "written\r\n");
  EXPECT_EQ(ReadFile(f.sentinel() / "keep.txt"), "sentinel");
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
  // Device names, whatever the case and extension.
  for (const char* name : {"con.txt", "NUL", "Aux.tar.gz", "prn .txt", "com1.txt", "LPT9.htm",
                           "conin$.txt", "CONOUT$", "Conin$.tar.gz"}) {
    EXPECT_FALSE(IsAllowedName(name)) << name;
  }
  for (const char* name : {"console.txt", "com0.txt", "com10.txt", "nul_x.txt", "my.con.txt",
                           "conin.txt", "conin$x.txt"}) {
    EXPECT_TRUE(IsAllowedName(name)) << name;
  }
  EXPECT_EQ(ShownName("esc\x1b[31m\ttab\x7f.txt"), "esc\\x1B[31m\\x09tab\\x7F.txt");
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
    platform::LineWriter afresh(t.run().paths.Create(t.run().paths.ForWrite("a.txt")));
    afresh.Line("two");
  }
  {
    platform::LineWriter more(
        t.run().paths.Create(t.run().paths.ForWrite("b.txt"), /*append=*/true));
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

// A file rewritten line by line from what it holds: a small file of its
// own is written over (longer and shorter alike) and no copy is made; a
// file with a second name, or one at the size limit, goes to the copy and
// the other name keeps what it held. A host that cannot tell a file's
// other names writes every file to the copy.
TEST(PathsTest, RewritesInPlaceOnlyASmallFileOfItsOwn) {
  ScopedTempDir dir;
  Paths paths(dir.path());
  const std::filesystem::path file = dir.path() / "page.htm", copy = dir.path() / "page_02.htm";
  auto rewrite = [&](size_t limit, auto change) {
    Rewrite rewrite = paths.OpenRewrite(file, copy, limit);
    std::string_view line;
    while (rewrite.in.Next(&line)) rewrite.out.Line(change(line));
    rewrite.in.Close();
    rewrite.out.Close();
    return rewrite.in_place;
  };
  auto longer = [](std::string_view line) { return std::string(line) + std::string(line); };
  auto shorter = [](std::string_view line) { return std::string(line.substr(0, 1)); };
  WriteFile(file, "ab\r\ncd\r\n");
  const bool in_place = IsSoleFile(file);
  EXPECT_EQ(rewrite(64, longer), in_place);
  if (!in_place) std::filesystem::rename(copy, file);
  EXPECT_EQ(ReadFile(file), "abab\r\ncdcd\r\n");
  EXPECT_EQ(rewrite(64, shorter), in_place);
  if (!in_place) std::filesystem::rename(copy, file);
  EXPECT_EQ(ReadFile(file), "a\r\nc\r\n");
  EXPECT_FALSE(std::filesystem::exists(copy));
  EXPECT_FALSE(rewrite(6, longer));  // 6 bytes: not below the limit
  EXPECT_EQ(ReadFile(file), "a\r\nc\r\n");
  EXPECT_EQ(ReadFile(copy), "aa\r\ncc\r\n");
  std::filesystem::remove(copy);
  std::filesystem::create_hard_link(file, dir.path() / "other.htm");
  EXPECT_FALSE(IsSoleFile(file));
  EXPECT_FALSE(rewrite(64, longer));
  EXPECT_EQ(ReadFile(dir.path() / "other.htm"), "a\r\nc\r\n");
  EXPECT_EQ(ReadFile(copy), "aa\r\ncc\r\n");
}

TEST(PathsTest, CreatingAFileThatCannotBeMadeRaises) {
  ScopedTempDir dir;
  Paths paths(dir.path());
  EXPECT_THROW(paths.Create(dir.path() / "no" / "such" / "x.txt"), common::IoError);
}

}  // namespace
}  // namespace platform
