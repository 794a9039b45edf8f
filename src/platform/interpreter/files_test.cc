// dir, copy, del, md, rd and rename on a temporary program folder: what
// each prints and what it leaves on disk.
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

// A program folder with a few files and folders of mixed case.
void Populate(TestRun& t) {
  WriteFile(t.root() / "b.TXT", "b");
  WriteFile(t.root() / "a.txt", "a");
  WriteFile(t.root() / "page.html", "p");
  WriteFile(t.root() / "README", "r");
  WriteFile(t.root() / "Htm_In" / "x.htm", "x");
  WriteFile(t.root() / "Htm_In" / "y.HTM", "y");
  WriteFile(t.root() / "Htm_In" / "sub" / "z.htm", "z");
}

TEST(DirTest, BareListingsOfPatternsAndFolders) {
  struct Case {
    std::string_view line;
    Lines names;
  };
  const Case cases[] = {
      {"dir /b *.txt", {"a.txt", "b.TXT"}},
      {"dir /b *.", {"Htm_In", "README"}},
      {"dir /b *.*", {"a.txt", "b.TXT", "Htm_In", "page.html", "README"}},
      {"dir /b *.htm*", {"page.html"}},
      {"dir /b htm_in\\*.htm", {"x.htm", "y.HTM"}},
      {"dir /b HTM_IN", {"sub", "x.htm", "y.HTM"}},
      {"dir /b  A.TXT", {"a.txt"}},
      {"DIR /B/S htm_in\\*.*",
       {"/Htm_In/sub", "/Htm_In/sub/z.htm", "/Htm_In/x.htm", "/Htm_In/y.HTM"}},
  };
  for (const Case& c : cases) {
    TestRun t;
    Populate(t);
    t.Command(c.line);
    Lines expected = c.names;
    for (std::string& name : expected) {
      if (name[0] == '/') name = Paths::Native(t.root() / fs::path(name.substr(1)));
    }
    EXPECT_EQ(t.OutLines(), expected) << c.line;
    EXPECT_EQ(t.err(), "") << c.line;
  }
}

TEST(DirTest, NothingOnStandardOutputWhenNothingMatches) {
  TestRun t;
  Populate(t);
  t.Command("dir /b *.list > dir_01.txt");
  EXPECT_EQ(ReadFile(t.root() / "dir_01.txt"), "");
  EXPECT_EQ(t.err(), "File Not Found\r\n");
}

TEST(DirTest, LongFormHasHeaderEntriesAndSummary) {
  TestRun t;
  Populate(t);
  t.Command("dir *.");
  Lines lines = t.OutLines();
  ASSERT_GE(lines.size(), 7u);
  EXPECT_EQ(lines[0], " Directory of " + Paths::Native(t.root()));
  EXPECT_EQ(lines[1], "");
  EXPECT_TRUE(lines[2].ends_with("<DIR>          ."));
  EXPECT_TRUE(lines[3].ends_with("<DIR>          .."));
  EXPECT_TRUE(lines[4].ends_with("<DIR>          Htm_In"));
  EXPECT_TRUE(lines[5].ends_with(" 1 README"));
  EXPECT_EQ(lines[6], "               1 File(s)              1 bytes");
  EXPECT_TRUE(lines[7].find(" Dir(s) ") != std::string::npos);
  EXPECT_TRUE(lines[7].ends_with(" bytes free"));
}

TEST(CopyTest, CopiesOneFileOrAWildcardIntoFoldersAndFiles) {
  TestRun t;
  Populate(t);
  t.Command("md wrd_24");
  WriteFile(t.root() / "wrd_24" / "wrd_24_1.txt", "1");
  WriteFile(t.root() / "wrd_24" / "wrd_24_2.txt", "2");
  t.Command("copy wrd_24\\*.txt");
  EXPECT_EQ(t.OutLines(), (Lines{"wrd_24\\wrd_24_1.txt", "wrd_24\\wrd_24_2.txt",
                                 "        2 file(s) copied."}));
  EXPECT_EQ(ReadFile(t.root() / "wrd_24_2.txt"), "2");
  t.ClearOut();
  t.Command("copy a.txt htm_in");
  t.Command("copy /y b.txt HTM_IN\\");
  t.Command("copy a.txt c.txt");
  EXPECT_EQ(t.OutLines(), (Lines{"        1 file(s) copied.", "        1 file(s) copied.",
                                 "        1 file(s) copied."}));
  EXPECT_EQ(ReadFile(t.root() / "Htm_In" / "b.TXT"), "b");
  EXPECT_EQ(ReadFile(t.root() / "c.txt"), "a");
  // An existing target is overwritten, and keeps its name.
  t.Command("copy b.txt C.TXT > out_null.list");
  EXPECT_EQ(ReadFile(t.root() / "c.txt"), "b");
  EXPECT_FALSE(fs::exists(t.root() / "C.TXT"));
}

TEST(CopyTest, ReportsMissingSourcesAndCopiesOntoItself) {
  struct Case {
    std::string_view line;
    std::string out, err;
  };
  const Case cases[] = {
      {"copy missing.txt x.txt", "        0 file(s) copied.\r\n",
       "The system cannot find the file specified.\r\n"},
      {"copy *.none htm_in\\", "        0 file(s) copied.\r\n",
       "The system cannot find the file specified.\r\n"},
      {"copy a.txt A.TXT", "        0 file(s) copied.\r\n", "The file cannot be copied onto itself.\r\n"},
      {"copy a.txt nowhere\\", "        0 file(s) copied.\r\n",
       "The system cannot find the path specified.\r\n"},
  };
  for (const Case& c : cases) {
    TestRun t;
    Populate(t);
    t.Command(c.line);
    EXPECT_EQ(t.out(), c.out) << c.line;
    EXPECT_EQ(t.err(), c.err) << c.line;
    EXPECT_EQ(ReadFile(t.root() / "a.txt"), "a");
  }
}

TEST(CopyTest, KeepsCaseTwinsApartAndNamesSkippedSources) {
  TestRun t;
  t.Command("md txt_in");
  t.Command("md txt_wrk");
  WriteFile(t.root() / "txt_in" / "a.txt", "lower");
  WriteFile(t.root() / "txt_in" / "A.txt", "upper");
  WriteFile(t.root() / "txt_in" / "A.TXT", "both");
  WriteFile(t.root() / "txt_in" / "a_2.txt", "taken");
  WriteFile(t.root() / "txt_in" / "b:c.txt", "colon");
  t.Command("copy txt_in\\*.txt txt_wrk\\ > out_null.list");
  EXPECT_EQ(t.err(), "skipped, name not allowed: b:c.txt\r\n");
  // Listing order A.TXT, A.txt, a.txt, a_2.txt: the later twins take the
  // first free number, past a_2 which another source holds.
  EXPECT_EQ(ListFolder(t.root() / "txt_wrk"),
            (Lines{"A.TXT", "A_3.txt", "a_2.txt", "a_4.txt"}));
  EXPECT_EQ(ReadFile(t.root() / "txt_wrk" / "A.TXT"), "both");
  EXPECT_EQ(ReadFile(t.root() / "txt_wrk" / "A_3.txt"), "upper");
  EXPECT_EQ(ReadFile(t.root() / "txt_wrk" / "a_4.txt"), "lower");
  EXPECT_EQ(ReadFile(t.root() / "txt_wrk" / "a_2.txt"), "taken");
  EXPECT_EQ(SplitLines(ReadFile(t.root() / "out_null.list")).back(), "        4 file(s) copied.");
}

TEST(DelTest, DeletesMatchingFilesNeverFolders) {
  TestRun t;
  Populate(t);
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
