// The search page s_<g>.htm of a group: the text of its pages reduced to
// word spans, line by line, each line followed by links to the indexes,
// the contents page and web searches for the line's words.
#pragma once

#include <cstdint>
#include <string>
#include <functional>
#include <string_view>

#include "pages/page_writer.h"
#include "run/run_context.h"

namespace pages {

/// The pseudo-random numbers of the line phrases: SplitMix64 starting from
/// state 0, so the same input gives the same phrases on every run.
class SplitMix64 {
 public:
  uint64_t Next();
  /// A number in [0, 1) from the top 53 bits of the next value.
  double NextUnit();

 private:
  uint64_t state_ = 0;
};

/// The number of words up to which a line's phrase is its whole word list.
inline constexpr size_t kPhraseSlots = 28;

/// The phrase of a long line: 28 picks, each a blank and a word found after
/// a random position of `word_list` (every word followed by one blank),
/// repeated picks dropped. `length_before_last` is the list's length without
/// its last word and that word's blank. The first word is never picked.
std::string RandomPhrase(std::string_view word_list, size_t length_before_last,
                         SplitMix64& random);

/// One word occurrence of a search page, in document order.
struct SearchWord {
  std::string_view page;
  long long line = 0;
  std::string_view word;  // as written
  std::string_view id;
  long long occurrence = 0;
};

/// What a search page needs to know besides its words.
struct SearchPlace {
  const runctx::Settings* settings = nullptr;
  std::string_view group;
  std::string_view destination_address;  // may be empty
  std::string_view target_site;          // may be empty
};

/// Writes a search page into `out` from the words that `next` gives (the
/// occurrences of the group's pages in document order; each view valid
/// until the next call), drawing from `random` for lines of 29 words or
/// more; then closes `out`.
void WriteSearchPage(const SearchPlace& place, PageWriter& out,
                     const std::function<bool(SearchWord*)>& next, SplitMix64& random);

}  // namespace pages
