// The word index page i_<g>.htm of a group: one entry per word and page of
// the group, with links to the word on its page, on the search page, in the
// main index and in a web search restricted to the target site.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/bytes.h"
#include "pages/page_writer.h"
#include "platform/console.h"
#include "run/run_context.h"

namespace pages {

/// One entry of a word index page: a word on one page of the group.
struct IndexEntry {
  std::string_view id;
  std::string_view page;
  std::string_view word;     // as written at its first occurrence on the page
  long long occurrence = 0;  // the occurrence number written there
  long long count = 0;       // its occurrences on the page
};

/// Writes the head of i_<g>.htm into `out`: the page head, the promo
/// block, the search notice and the time stamp lines for `now`.
void WriteIndexHead(const runctx::Settings& settings, const platform::Stamp& now, PageWriter& out);

/// Writes the rest of i_<g>.htm: the Content link on construction, one
/// entry for each given to Add (by word id, then page; its views stay valid
/// through the next call, which writes it), all in the long form but the
/// last; Finish
/// writes the last and the closing lines, then closes `out`.
/// `promo_interval` counts the long entries since the last promo block over
/// the whole run; a promo block follows every 101st.
class IndexEntryWriter {
 public:
  IndexEntryWriter(std::string_view target_site, std::string_view group, PageWriter& out,
                   long long& promo_interval);

  void Add(const IndexEntry& entry) {
    if (held_) WriteLong(entry_);
    entry_ = entry;
    held_ = true;
  }
  void Finish();

 private:
  void WriteLong(const IndexEntry& entry);
  template <typename Id>
  void WriteLongOf(const IndexEntry& entry, Id id);
  void WriteShort(const IndexEntry& entry);

  PageWriter& out_;
  long long& promo_interval_;
  std::vector<std::string> promo_;
  common::ShortText group_;  // in the links to the search page s_<g>.htm
  // " site:<site encoded>\"> <site></a>", the end of an entry's link to a
  // web search; empty without a target site, and then no entry has one.
  std::string site_end_;
  common::LineBuilder query_;  // a word's query when a byte of it is encoded
  IndexEntry entry_;
  bool held_ = false;
};

}  // namespace pages
