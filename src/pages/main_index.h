// The main index: every word once, with its groups and counts.
#pragma once

#include "run/run_context.h"

namespace pages {

/// Writes the main index index.htm: every word once, with one link per
/// group holding it and the number of its occurrences in that group.
/// Prints "processed 60%", "processed 70%" and, with at least three
/// occurrences, "processed 80%".
void WriteMainIndex(runctx::RunContext& run);

}  // namespace pages
