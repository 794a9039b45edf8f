// The search page s_<g>.htm of a group: the text of its pages reduced to
// word spans, line by line, each line followed by links to the indexes,
// the contents page and web searches for the line's words.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "driver/run_context.h"

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

/// Writes s_<g>.htm from wrd_12_<g>.txt (page, line, column, word, word id,
/// occurrence number; in document order), drawing from `random` for lines
/// of 29 words or more.
void WriteSearchPage(driver::RunContext& run, int group, SplitMix64& random);

}  // namespace pages
