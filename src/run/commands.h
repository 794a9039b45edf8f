// The command lines every phase uses: running one, reading a listing,
// creating a work file, detecting and removing folders, deleting listed
// files. The screens are run/screens.h.
#pragma once

#include <string>
#include <string_view>

#include "platform/lines.h"
#include "run/run_context.h"

namespace runctx {

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

/// Empties a folder and removes it: "dir > FOLDER\f_01.txt" (so that the
/// folder holds a file for the delete), "del /q FOLDER\*.* > out_null.list",
/// "rd FOLDER > out_null.list".
void EmptyAndRemoveFolder(RunContext& run, std::string_view folder);

/// Deletes listed files: runs "dir /b PATTERN > dir_01.txt" and deletes
/// each listed name, lower-cased, with `prefix` in front (for example
/// "htm_out\"), on all cores. Files that cannot be deleted stay, silently.
void DeleteListed(RunContext& run, std::string_view pattern, std::string_view prefix = {});

/// Removes a folder tree: "dir /b /s FOLDER\*.* > dir_01.txt", every listed
/// path lower-cased and deleted as a file, then "rd FOLDER".
void RemoveTree(RunContext& run, std::string_view folder);

}  // namespace runctx
