// The file sort: the lines of one work file sorted into another in plain
// byte order, stable, with bounded memory.
//
// Runs of at most run.sort_run_lines lines (and run.sort_run_bytes bytes)
// are sorted in memory and written to the chunk files file_s_<n>.txt; the
// chunks are merged from disk, at most run.sort_merge_width at a time, into
// sort_output.txt, whose order is checked before it is copied to the
// output. Chunk files and sort_output.txt stay for the next call or the
// final clean-up to remove.
#pragma once

#include <string_view>

#include "driver/run_context.h"

namespace words {

/// Sorts run.sort_input into run.sort_output (lines ended by CR LF).
/// Order: unsigned bytes, a line that is a prefix of another first; equal
/// lines keep their input order. An empty input name ends the program
/// (status 0); a broken order in sort_output.txt prints "sort error" and
/// ends the program (status 0). An empty or missing input gives an empty
/// output file and the run goes on.
void FileSort(driver::RunContext& run);

/// Sets the sort's input and output names and sorts.
void SortFile(driver::RunContext& run, std::string_view input, std::string_view output);

}  // namespace words
