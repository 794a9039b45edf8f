// The instruction screens shown after the banner and the checks that the
// interpreter and the find, findstr and sort tools answer by name. The check
// files are left behind; the leftover clean-up removes them.
#include "driver/startup.h"

#include <string>
#include <string_view>
#include <vector>

#include "common/bytes.h"
#include "run/commands.h"
#include "run/screens.h"
#include "run/work_files.h"

namespace driver {
namespace {

using runctx::Cmd, runctx::kCheck01, runctx::kCheck02, runctx::kCheckFiles, runctx::kOutNullText;

// One tool check: the name printed first, the command lines run in order,
// the file whose non-blank lines are counted, the count needed to pass and
// the two lines of its failure screen.
struct ToolCheck {
  std::string_view name;
  std::vector<std::string> commands;
  std::string_view result_file;
  int needed;
  std::string_view failure_title;
  std::string_view failure_advice;
};

constexpr std::string_view kPathAdvice =
    "The system path to the program is most likely to be configured.";

// Lines that are not empty once their leading spaces are gone.
int CountNonBlankLines(runctx::RunContext& run, std::string_view name) {
  platform::LineReader reader = runctx::OpenListing(run, name);
  int count = 0;
  std::string_view line;
  while (reader.Next(&line)) {
    if (!common::TrimLeft(line).empty()) ++count;
  }
  return count;
}

void RunCheck(runctx::RunContext& run, const ToolCheck& check) {
  run.console.Line(check.name);
  for (std::string_view command : check.commands) runctx::RunCommand(run, command);
  if (CountNonBlankLines(run, check.result_file) >= check.needed) return;
  run.console.Line(runctx::Rule(/*count=*/21));
  run.console.Line(check.failure_title);
  run.console.Line(check.failure_advice);
  runctx::AcknowledgeAndEnd(run);
}

}  // namespace

void ShowInstructions(runctx::RunContext& run) {
  platform::Console& out = run.console;
  out.Line();
  out.Line(runctx::Rule(runctx::kScreenRule));
  out.Line("FONT CONSOLAS OR LUCIDA CONSOLE MUST BE SELECTED IN THE PROGRAM EXECUTION WINDOW.");
  out.Line("Setting procedure (necessary for correct printing):");
  out.Line("- move the mouse to the center of the upper bold edge of the execution window;");
  out.Line("- right mouse click;");
  out.Line("- select Properties from the drop-down menu;");
  out.Line("- select the Font tab;");
  out.Line("- this tab includes the Consolas or Lucida Console font.");
  out.Line();
  out.Line("In the Layout tab, select the size of the execution window.");
  out.Line("Selected settings work when the program is restarted.");
  out.Line(runctx::Rule(runctx::kScreenRule));
  out.Line();
  runctx::ContinueOrEnd(run);

  out.Line();
  out.Line(runctx::Rule(runctx::kScreenRule));
  out.Line("THE PROGRAM MUST BE INSTALLED IN YOUR OWN DIRECTORY.");
  out.Line("During execution, the program creates and also deletes most *.txt and other files.");
  out.Line();
  out.Line(
      "The TXT files you want to index must be written in UTF-8 format and copied to the "
      "TXT_IN subfolder.");
  out.Line("The TXT file names must not contain spaces or special characters (ASCII only).");
  out.Line(runctx::Rule(runctx::kScreenRule));
  out.Line();
  runctx::ContinueOrEnd(run);
}

void CheckTools(runctx::RunContext& run) {
  // The find check looks for the program itself (".exe") in the listing of
  // its own folder, so the program must be started from there.
  const std::string delete_checks =
      Cmd("cmd /c for %i in (", kCheckFiles, ") do del /q %i >> ", kOutNullText);
  const ToolCheck checks[] = {
      {"cmd",
       {Cmd("cmd /c dir *. > ", kCheck01)},
       kCheck01,
       1,
       "Checking for cmd.exe!",
       kPathAdvice},
      {"find",
       {Cmd("dir > ", kOutNullText), delete_checks, Cmd("cmd /c dir > ", kCheck01),
        Cmd("cmd /c find /i \".exe\" ", kCheck01, " >  ", kCheck02)},
       kCheck02,
       2,
       "Checking for find.exe!",
       kPathAdvice},
      {"findstr",
       {Cmd("dir > ", kOutNullText), delete_checks, Cmd("cmd /c dir > ", kCheck01),
        Cmd("cmd /c findstr /i \".exe\" ", kCheck01, " > ", kCheck02)},
       kCheck02,
       1,
       "Checking for findstr.exe!",
       kPathAdvice},
      {"sort",
       {Cmd("dir > ", kCheck01), Cmd("del /q ", kCheckFiles), Cmd("dir *. > ", kCheck01),
        Cmd("sort ", kCheck01, " /o ", kCheck02)},
       kCheck02,
       2,
       "Checking for sort.exe",
       "It is probably necessary to set the system path to the program."},
  };
  run.console.Line(runctx::Rule(/*count=*/27));
  run.console.Line("Checking the accessibility of some urgently needed programs:");
  run.console.Line("cmd.exe, find.exe, findstr.exe, sort.exe");
  for (const ToolCheck& check : checks) RunCheck(run, check);
}

}  // namespace driver
