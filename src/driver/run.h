// The run: one straight pass through the phases, from the start-up screens
// to the results screen.
#pragma once

#include <string_view>

namespace driver {

/// Runs the indexer in the program's own folder (the folder of its file,
/// whatever the current folder), with the test hooks read once from the
/// environment (run/test_hooks.h), and returns the exit status: 0 whenever
/// the run ends at one of its screens (an answer, the end of input, the
/// results); 1 after a hard I/O failure (the files the run made are
/// removed), when another run works in the folder or it cannot be locked,
/// when the host cannot tell the program's folder, or when
/// SOURCE_DATE_EPOCH cannot be a time stamp.
int Main(int argc, char** argv, std::string_view program_name);

}  // namespace driver
