// The run: one straight pass through the phases, from the start-up screens
// to the results screen.
#pragma once

#include <string_view>

namespace driver {

/// Runs the indexer in the current folder (the program's folder) and
/// returns the exit status: 0 on every described path, 1 after a hard I/O
/// failure.
int Main(int argc, char** argv, std::string_view program_name);

}  // namespace driver
