// The group pass: annotated pages, word index pages, the contents page and
// search pages, written side by side from the word data.
#pragma once

#include "run/run_context.h"

namespace pages {

/// The group pass, from the run's word data. Before it the folder wrd_24
/// receives a copy of every wrd_24_<g>.txt. Then, spread over the cores:
/// every page that holds words annotated (written over in place, or, when
/// large, into its copy <base>_02.htm, which then takes the page's place);
/// the word index page i_<g>.htm of every group, with files_list.htm; the
/// search page s_<g>.htm of every group. The binary word files it reads
/// for the last time are removed at the end. A page that cannot be written
/// raises IoError.
void WriteGroupPages(runctx::RunContext& run);

}  // namespace pages
