// Input preparation through the real program: the start-up screens, the
// tool checks, the workspace folders, the renamed copies of txt_in and
// their pages, the leftover clean-up and the trace file.
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/e2e_util.h"

namespace testing_support {
namespace {

const std::string kRule28(28, '-');
using Lines = std::vector<std::string>;

// Everything printed up to the tool checks, the program path excepted.
const Lines kStart = {
    "Active code page: 65001",
    "www.example.com.exe",
    "",
    "<program path>",
    "www.example.com",
    "",
    std::string(36, '='),
    "",
    "THE PROGRAM INDEXES A GROUP OF TXT FILES ON EACH WORD AND CREATES A DOCUMENT BASE",
    "",
    "Program name:www.example.com.exe",
    "",
    kRule28,
    "FONT CONSOLAS OR LUCIDA CONSOLE MUST BE SELECTED IN THE PROGRAM EXECUTION WINDOW.",
    "Setting procedure (necessary for correct printing):",
    "- move the mouse to the center of the upper bold edge of the execution window;",
    "- right mouse click;",
    "- select Properties from the drop-down menu;",
    "- select the Font tab;",
    "- this tab includes the Consolas or Lucida Console font.",
    "",
    "In the Layout tab, select the size of the execution window.",
    "Selected settings work when the program is restarted.",
    kRule28,
    "",
    "<1> continue",
    "<2> end",
    "",
    kRule28,
    "THE PROGRAM MUST BE INSTALLED IN YOUR OWN DIRECTORY.",
    "During execution, the program creates and also deletes most *.txt and other files.",
    "",
    "The TXT files you want to index must be written in UTF-8 format and copied to the TXT_IN "
    "subfolder.",
    "The TXT file names must not contain spaces or special characters (ASCII only).",
    kRule28,
    "",
    "<1> continue",
    "<2> end",
    std::string(27, '-'),
    "Checking the accessibility of some urgently needed programs:",
    "cmd.exe, find.exe, findstr.exe, sort.exe",
    "cmd",
    "find",
    "findstr",
    "sort"};

// Runs the program in `folder` after writing `files` (path, bytes) there;
// the program path line is checked and replaced by a marker.
ProgramResult RunIn(const ScopedTempDir& folder, const std::string& answers,
                    const std::vector<std::pair<std::string, std::string>>& files = {}) {
  for (const auto& [name, bytes] : files) WriteFile(folder.path() / name, bytes);
  ProgramResult result = RunProgram(folder.path(), answers);
  EXPECT_EQ(result.status, 0) << result.err;
  if (result.lines.size() > 3) {
    EXPECT_EQ(fs::path(result.lines[3]), folder.path() / "www.example.com.exe");
    result.lines[3] = "<program path>";
  }
  return result;
}

Lines Join(Lines lines, const Lines& more) {
  lines.insert(lines.end(), more.begin(), more.end());
  return lines;
}

TEST(InputEndToEndTest, TranscriptUpToTheListingScreen) {
  ScopedTempDir dir;
  ProgramResult result = RunIn(dir, "1\n1\n2\n",
                               {{"txt_in/b.txt", "second"},
                                {"txt_in/a.txt", "first"},
                                {"htm_in/stale.htm", "old"},
                                {"txt_wrk/stale.txt", "old"},
                                {"txt_wrk/kept/x", "old"},
                                {"htm_wrk/stale.htm", "old"}});
  EXPECT_EQ(result.lines,
            Join(kStart, {"", "----- dir htm_wrk -----", "a.htm", "b.htm", "", std::string(23, '-'),
                          "number of files = 2", "", "<1> continue", "<2> end"}));
  // "2" leaves the work of the phases already run; old work folders were
  // emptied, a folder in one too, and htm_in waits for the copies.
  EXPECT_EQ(ListFolder(dir.path() / "txt_wrk"), (Lines{"a.txt", "b.txt"}));
  EXPECT_EQ(ListFolder(dir.path() / "htm_wrk"), (Lines{"a.htm", "b.htm"}));
  EXPECT_TRUE(fs::is_directory(dir.path() / "htm_in"));
  EXPECT_TRUE(ListFolder(dir.path() / "htm_in").empty());
  EXPECT_EQ(ReadLines(dir.path() / "txt_file.list"), (Lines{"a.txt", "b.txt"}));
  EXPECT_TRUE(fs::exists(dir.path() / "check_02.txt"));
}

TEST(InputEndToEndTest, EndAtAnInstructionScreenWritesNothing) {
  for (const auto& [answers, printed] : {std::pair{"2\n", 27}, {"3\n2\n", 27}, {"1\n2\n", 38}}) {
    ScopedTempDir dir;
    ProgramResult result = RunIn(dir, answers, {{"txt_in/a.txt", "text"}});
    EXPECT_EQ(result.lines, Lines(kStart.begin(), kStart.begin() + printed)) << answers;
    EXPECT_EQ(ListFolder(dir.path()), (Lines{"txt_in", "www.example.com.exe"}));
  }
}

TEST(InputEndToEndTest, NoUsableInputEndsWithTheEmptyScreen) {
  // An empty txt_in (the "" entry), one holding only ".TXT" names, none.
  for (const Lines& files : {Lines{""}, Lines{"A.TXT", "b.TXT"}, Lines{}}) {
    ScopedTempDir dir;
    for (const std::string& name : files) {
      if (name.empty()) {
        fs::create_directory(dir.path() / "txt_in");
      } else {
        WriteFile(dir.path() / "txt_in" / name, "text");
      }
    }
    ProgramResult result = RunIn(dir, "1\n1\n1\n");
    Lines screen = {"", kRule28, "Subfolder txt_in is empty", "", "<1> = continue and end"};
    EXPECT_EQ(result.lines, Join(kStart, screen)) << files.size();
  }
}

TEST(InputEndToEndTest, EveryInputGetsItsOwnSafePage) {
  ScopedTempDir dir;
  ProgramResult result = RunIn(dir, "1\n1\n2\n",
                               {{"txt_in/Notes.txt", "upper"},
                                {"txt_in/notes.txt", "lower"},
                                {"txt_in/what?.txt", "cannot exist at home"},
                                {"txt_in/Report 2024-05.TXT", "report"},
                                {"txt_in/page.txt", "p"}});
  EXPECT_NE(result.err.find("skipped, name not allowed: what?.txt"), std::string::npos);
  Lines screen = {"file_page.htm",      "Notes.htm", "notes_2.htm",
                  "Report_2024_05.htm", "",          std::string(23, '-'),
                  "number of files = 4"};
  EXPECT_NE(std::search(result.lines.begin(), result.lines.end(), screen.begin(), screen.end()),
            result.lines.end())
      << result.out;
  fs::path pages = dir.path() / "htm_wrk";
  EXPECT_EQ(ReadLines(pages / "Notes.htm")[9], "upper");
  EXPECT_EQ(ReadLines(pages / "notes_2.htm")[9], "lower");
  EXPECT_EQ(ReadLines(pages / "Report_2024_05.htm")[4], "htm_wrk\\Report_2024_05.htm");
  EXPECT_EQ(ListFolder(dir.path() / "txt_in").size(), 5u);  // the input is only read
}

TEST(InputEndToEndTest, LeftoversGoAndTheTraceFileIsEmptied) {
  for (bool trace : {true, false}) {
    ScopedTempDir dir;
    if (trace) WriteFile(dir.path() / "trace" / "file_trace.txt", "old trace");
    ProgramResult result = RunIn(dir, "1\n1\n1\n",
                                 {{"txt_in/a.txt", "alpha beta"},
                                  {"old.txt", "x"},
                                  {"notes.list", "x"},
                                  {"page_1.htm", "x"},
                                  {"old.HTML", "x"}});
    // The listing screen's prompt, its empty line, then the program path.
    auto count = std::find(result.lines.begin(), result.lines.end(), "number of files = 1");
    ASSERT_GT(result.lines.end() - count, 5);
    EXPECT_EQ(count[5], (dir.path() / "www.example.com.exe").string());
    for (const char* name : {"old.txt", "notes.list", "page_1.htm", "old.HTML"}) {
      EXPECT_FALSE(fs::exists(dir.path() / name)) << name;
    }
    EXPECT_EQ(ListFolder(dir.path() / "trace"), trace ? Lines{"file_trace.txt"} : Lines{});
    EXPECT_EQ(ReadFile(dir.path() / "trace" / "file_trace.txt"), "");
  }
}

}  // namespace
}  // namespace testing_support
