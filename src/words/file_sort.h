// The file sort: the lines of one work file sorted into another in plain
// byte order, stable, with bounded memory.
#pragma once

#include "driver/run_context.h"

namespace words {

/// Sorts run.sort_input into run.sort_output through chunk files
/// file_s_<n>.txt merged into sort_output.txt.
void FileSort(driver::RunContext& run);

}  // namespace words
