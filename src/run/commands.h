// The commands and screens every phase uses: running a command line, reading a
// listing, detecting, emptying and removing folders, deleting listed files,
// the choice prompts, progress lines and the end of the program.
#pragma once

#include <string>
#include <string_view>

#include "platform/lines.h"
#include "run/run_context.h"

namespace runctx {

/// Ends the run: thrown by EndProgram, caught by Main, which returns the
/// status (0 on every path the run describes).
struct RunEnded {
  int status = 0;
};

/// Ends the program with `status` (0 unless a hard I/O failure).
[[noreturn]] void EndProgram(int status = 0);

/// Joins the pieces of a command line, so that the call reads like the line:
/// Cmd("md ", kHtmIn, " > ", kOutNullList) is "md htm_in > out_null.list".
template <typename... Pieces>
std::string Cmd(const Pieces&... pieces) {
  std::string line;
  (line.append(std::string_view(pieces)), ...);
  return line;
}

/// Runs one command line through the built-in interpreter.
void RunCommand(RunContext& run, std::string_view line);

/// Opens a listing (or any work file) for reading line by line; a missing
/// file yields no lines.
platform::LineReader OpenListing(RunContext& run, std::string_view name);

/// Creates (or empties) a work file or page for writing; raises
/// common::IoError when it cannot.
platform::LineWriter CreateFile(RunContext& run, std::string_view name, bool append = false);

/// Folder detection: runs `command` (a listing into `listing`), then looks
/// for `folder` as a substring of each lower-cased line (right-trimmed first
/// when `long_form`). The first hit ends the search.
bool DetectFolder(RunContext& run, std::string_view command, std::string_view listing,
                  std::string_view folder, bool long_form = false);

/// Deletes listed files: runs "dir /b PATTERN > dir_01.txt" and deletes
/// each listed name, lower-cased, with `prefix` in front (for example
/// "htm_out\"), on all cores. Files that cannot be deleted stay, silently.
void DeleteListed(RunContext& run, std::string_view pattern, std::string_view prefix = {});

/// Removes a folder tree: "dir /b /s FOLDER\*.* > dir_01.txt", every listed
/// path lower-cased and deleted as a file, then "rd FOLDER".
void RemoveTree(RunContext& run, std::string_view folder);

/// "<1> continue" / "<2> end": returns on 1, ends the program on 2 or at the
/// end of input. Other keys are ignored; the options print once.
void ContinueOrEnd(RunContext& run);
/// "<1> = continue and end": only 1 (or the end of input) ends the program.
[[noreturn]] void AcknowledgeAndEnd(RunContext& run);
/// "<...> any key to continue and end": any key ends the program.
[[noreturn]] void KeyPromptAndEnd(RunContext& run);
/// "<...> any key to continue": any key lets the run go on.
void KeyPause(RunContext& run);

/// Prints the progress line "processed N%".
void Progress(RunContext& run, int percent);

/// The width of the hyphen rule that frames most screens; the others size
/// their rule to their own text.
inline constexpr size_t kScreenRule = 28;

/// A line of `count` copies of `c` ("----" rules of the screens).
std::string Rule(size_t count, char c = '-');

}  // namespace runctx
