// The word data of a run, in compact form: what word extraction finds and
// the word list phase completes, read by the output pages. Distinct words,
// their written forms and the pages are held in memory; the occurrences
// (one per word of a page) and the page words (one per word and page) are
// spilled to two binary work files in the folder wrd_24, in document
// order, and read back page by page. Nothing here grows with the number of
// occurrences.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/interner.h"
#include "platform/paths.h"
#include "run/work_files.h"

namespace runctx {

/// One word occurrence on a page (binary file, document order per page).
struct Occurrence {
  uint32_t line = 0;    // 1-based line of the page
  uint32_t column = 0;  // 1-based byte position of the word
  uint32_t form = 0;    // the word as written (index into WordData::forms)
  uint32_t number = 0;  // occurrence number among all of its word's
};

/// One word on one page (binary file, page by page, in the order of the
/// word's first occurrence on the page).
struct PageWord {
  uint32_t word = 0;          // index into WordData::words
  uint32_t count = 0;         // its occurrences on the page
  uint32_t first_number = 0;  // the occurrence number of its first (line, column)
  uint32_t first_form = 0;    // the form written there
  uint32_t last_number = 0;   // the highest occurrence number on the page
};

/// A numbered page of the page set and where its data lies.
struct PageInfo {
  std::string name;                // page_<n>.htm, lower case
  uint64_t first_occurrence = 0;   // index of its first Occurrence
  uint32_t occurrence_count = 0;   // 0: the page holds no words
  uint64_t first_page_word = 0;    // index of its first PageWord
  uint32_t page_word_count = 0;
  int group = 0;                   // 0 for a page without words
};

/// A distinct word: its written forms compared in lower case.
struct WordInfo {
  uint64_t id = 0;          // the number of its word id, set by the word lists
  uint32_t first_form = 0;  // the form of its first occurrence in document order
  uint32_t count = 0;       // its occurrences
  uint32_t pages = 0;       // the pages holding it
};

/// True when word `a` sorts before word `b` as fields of a work-file record
/// do: bytes compared unsigned, the closing quote of the shorter field
/// standing for the byte after it (so "abc!" sorts before "abc").
bool FieldLess(std::string_view a, std::string_view b);

struct WordData {
  common::Interner forms;             // the words as written, numbered by form
  std::vector<uint32_t> form_word;    // form -> word
  common::Interner lower;             // the words in lower case, numbered by word
  std::vector<WordInfo> words;
  std::vector<PageInfo> pages;        // in page order
  // By PageWord index: the next page holding its word (1-based page
  // index), 0 for none. A deque grows without copying itself.
  std::deque<uint32_t> next_page;
  // Occurrences per word and group (index group - 1), for the main index.
  std::vector<std::vector<uint32_t>> group_counts;
  // Set by the word lists: the words that occur, in word id order (the
  // order of their lower case as record fields sort).
  std::vector<uint32_t> by_id;
  uint64_t occurrence_count = 0;
  uint64_t page_word_count = 0;
  int group_count = 0;                // G

  platform::HostPath occurrence_file;  // host paths of the binary files
  platform::HostPath page_word_file;

  /// "id" and the word's id number, 8 digits at least.
  std::string IdText(uint32_t word) const;
  /// The text of form `form`.
  std::string_view Form(uint32_t form) const { return forms.text(form); }
};

}  // namespace runctx
