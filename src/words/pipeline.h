// The word list pipeline: word ids, occurrence numbers, page groups, the
// per-group lists and the next page of every occurrence.
#pragma once

#include "driver/run_context.h"

namespace words {

/// Turns wrd_01.txt into the wrd_, group_ and id work files, sets the group
/// count and prints "processed 20%" to "processed 50%".
void BuildWordLists(driver::RunContext& run);

}  // namespace words
