// End-to-end support: runs the built program in a fresh folder with answers
// piped to its standard input, and captures what it prints.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "support/test_run.h"

namespace testing_support {

struct ProgramResult {
  int status = -1;                 // exit status; -1 when it did not exit normally
  std::string out;                 // standard output
  std::string err;                 // standard error
  std::vector<std::string> lines;  // standard output split into lines
};

/// The program built for the default name (the INDEXER_BINARY environment
/// variable, set by CTest).
fs::path ProgramBinary();
/// The source tree (INDEXER_SOURCE_DIR), for the bundled samples.
fs::path SourceDir();

/// Copies `binary` into `folder` (under its own file name) and runs it
/// there with `input` on its standard input. `env` holds extra NAME=VALUE
/// settings (SOURCE_DATE_EPOCH is set to a fixed value unless given);
/// `args` are its command-line arguments.
ProgramResult RunProgram(const fs::path& folder, const std::string& input,
                         const fs::path& binary = ProgramBinary(),
                         const std::vector<std::string>& env = {},
                         const std::vector<std::string>& args = {});

}  // namespace testing_support
