// The word index page i_<g>.htm of a group: one entry per word and page of
// the group, with links to the word on its page, on the search page, in the
// main index and in a web search restricted to the target site.
#pragma once

#include "common/lines.h"
#include "driver/run_context.h"

namespace pages {

/// Writes the head of i_<g>.htm into `out`: the page head, the promo
/// block, the search notice and the time stamp lines.
void WriteIndexHead(driver::RunContext& run, common::LineWriter& out);

/// Writes the rest of i_<g>.htm from wrd_14_<g>.txt (word id, page, line,
/// column, word, word id, occurrence number; by word id, then page): the
/// Content link, one entry per run of records with the same word id and
/// page, and the closing lines; then closes `out`. `promo_interval` counts
/// the long entries since the last promo block over the whole run; a promo
/// block follows every 101st.
void WriteIndexEntries(driver::RunContext& run, common::LineWriter& out, int group,
                       long long& promo_interval);

}  // namespace pages
