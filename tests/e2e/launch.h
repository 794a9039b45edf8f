// Starting the program under test: one host-specific function, so the rest
// of the end-to-end support is the same on every host.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

/// Starts `program` with `folder` as its current folder, standard input read
/// from `in_file` and standard output and error written to `out_file` and
/// `err_file`, with SOURCE_DATE_EPOCH set to a fixed instant and then the
/// NAME=VALUE settings of `env` added, and `args` as its command-line
/// arguments; waits for it to end. Returns its exit status, or -1 when it
/// could not be started or did not exit normally.
int LaunchAndWait(const std::filesystem::path& folder, const std::filesystem::path& program,
                  const std::filesystem::path& in_file, const std::filesystem::path& out_file,
                  const std::filesystem::path& err_file, const std::vector<std::string>& env,
                  const std::vector<std::string>& args = {});

}  // namespace testing_support
