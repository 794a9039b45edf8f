// The output pages: annotated pages, word index pages, the contents page,
// search pages and the main index.
#pragma once

#include "driver/run_context.h"

namespace pages {

/// One pass over the groups 1..G. Before the first group the folder wrd_24
/// receives a copy of every wrd_24_<g>.txt. Per group: the group's pages
/// annotated in place (from wrd_24_<g>.txt), its word index page i_<g>.htm
/// (from wrd_14_<g>.txt) with files_list.htm written while it is open, and
/// its search page s_<g>.htm (from wrd_12_<g>.txt). Missing work files give
/// pages without entries; a page that cannot be written raises IoError.
void WriteGroupPages(driver::RunContext& run);

/// Sorts wrd_15.txt into wrd_16.txt and writes the main index index.htm:
/// every word once, with one link per group holding it and the number of
/// its records in that group. Prints "processed 60%", "processed 70%" and,
/// with at least three records, "processed 80%".
void WriteMainIndex(driver::RunContext& run);

}  // namespace pages
