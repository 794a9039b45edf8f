// The output pages: annotated pages, word index pages, the contents page,
// search pages and the main index.
#pragma once

#include "driver/run_context.h"

namespace pages {

/// One pass over the groups 1..G: the group's annotated pages, its word
/// index page i_<g>.htm (with files_list.htm written inside it) and its
/// search page s_<g>.htm.
void WriteGroupPages(driver::RunContext& run);

/// The main index index.htm with the word counts per group; prints
/// "processed 60%", "processed 70%" and "processed 80%".
void WriteMainIndex(driver::RunContext& run);

}  // namespace pages
