// The word index page i_<g>.htm of a group: one entry per word and page of
// the group, with links to the word on its page, on the search page, in the
// main index and in a web search restricted to the target site.
#pragma once

#include <functional>
#include <string_view>

#include "pages/page_writer.h"
#include "platform/console.h"
#include "run/run_context.h"

namespace pages {

/// One entry of a word index page: a word on one page of the group.
struct IndexEntry {
  std::string_view id;
  std::string_view page;
  std::string_view word;      // as written at its first occurrence on the page
  long long occurrence = 0;   // the occurrence number written there
  long long count = 0;        // its occurrences on the page
};

/// Writes the head of i_<g>.htm into `out`: the page head, the promo
/// block, the search notice and the time stamp lines for `now`.
void WriteIndexHead(const runctx::Settings& settings, const platform::Stamp& now,
                    PageWriter& out);

/// Writes the rest of i_<g>.htm: the Content link, one entry for each that
/// `next` gives (by word id, then page; the views stay valid until the
/// call after next), all in the long form but the last, and the closing
/// lines; then closes `out`. `promo_interval` counts the long entries since
/// the last promo block over the whole run; a promo block follows every
/// 101st.
void WriteIndexEntries(std::string_view target_site, std::string_view group,
                       PageWriter& out, const std::function<bool(IndexEntry*)>& next,
                       long long& promo_interval);

}  // namespace pages
