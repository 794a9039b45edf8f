// The words of one page numbered on the page, on the thread that scans it:
// its forms and words (words compared in lower case) numbered in order of
// first sight, and each occurrence numbered among its word's occurrences
// on the page. The word data's writer only adds the numbers of the pages
// before, so the one thread that takes the pages in order does little.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/interner.h"
#include "run/word_data.h"
#include "scan/line_scan.h"

namespace scan {

class PageNumbering {
 public:
  /// Forgets the page numbered so far, keeping the room of its tables for
  /// the next page.
  void Clear();

  /// Adds the words of page line `line` to `piece`: the forms first seen
  /// on the page, and the occurrences of the words that are kept, numbered
  /// line by line, on a line by the form as written, then by position.
  void AddLine(uint32_t line, const std::vector<Word>& words, runctx::PageWords* piece);

 private:
  // The page form of `text`; a new one is added to `piece`.
  uint32_t FormOf(std::string_view text, runctx::PageWords* piece);
  // Numbers the occurrences of piece->taken from `from` on: one line.
  void NumberLine(runctx::PageWords* piece, size_t from);

  common::Interner forms_;
  common::Interner words_;           // the kept words in lower case
  std::vector<uint32_t> form_word_;  // by page form: its page word, or PageWords::kDropped
  std::vector<uint32_t> seen_;       // by page word: its occurrences numbered so far
  std::vector<uint32_t> line_of_;    // by page word: the last line it stood on
  std::vector<size_t> order_;
  std::string lower_;
};

}  // namespace scan
