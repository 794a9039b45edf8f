// The search page s_<g>.htm of a group: the text of its pages reduced to
// word spans, line by line, each line followed by links to the indexes,
// the contents page and web searches for the line's words.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/bytes.h"
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
std::string RandomPhrase(std::string_view word_list, size_t length_before_last, SplitMix64& random);

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

/// Writes one search page into `out`: the head on construction, then the
/// words given to Add (the occurrences of the group's pages in document
/// order; each view valid until the next call), drawing from `random` for
/// lines of 29 words or more; Finish writes the last line and the closing
/// lines, then closes `out`.
class SearchPageWriter {
 public:
  SearchPageWriter(const SearchPlace& place, PageWriter& out, SplitMix64& random);

  void Add(const SearchWord& word);
  void Finish();

 private:
  template <typename Id>
  void AddWord(const SearchWord& word, Id id);
  void StartTextLine(const SearchWord& word);
  void WriteTextLine();
  void AddSite(std::string_view site, std::string_view text);

  PageWriter& out_;
  SplitMix64& random_;
  common::ShortText group_;  // in the links to the word index i_<g>.htm
  // The ends of the links to a web search of a line's phrase that restrict
  // the search to a site (the address typed at the prompt, the target site).
  std::vector<std::string> site_tails_;
  bool first_of_page_ = true;
  bool has_line_ = false;
  bool may_end_html_ = false;       // a word of the line holds "<"
  bool query_changes_ = false;      // a word of the line has a byte that its query encodes
  long long line_number_ = 0;       // the line of the text line being gathered
  common::LineBuilder first_page_;  // page and word id of the line's first word
  common::LineBuilder first_id_;
  common::LineBuilder words_line_;
  common::LineBuilder word_list_;  // the words, each followed by one blank
  size_t word_count_ = 0;
  size_t before_last_ = 0;  // the word list's length before its last word
  std::string random_phrase_;
  common::LineBuilder query_;  // the line's phrase, encoded when any byte changes
};

}  // namespace pages
