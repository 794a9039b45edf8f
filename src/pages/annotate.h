// The annotated pages: every word of a page becomes a span carrying its word
// id, with a hidden navigation span after it when find word is on, and the
// highlight script and Before/Next/Content links join the pages.
#pragma once

#include <string>
#include <string_view>

#include "pages/page_list.h"
#include "pages/page_writer.h"
#include "platform/lines.h"
#include "run/run_context.h"

namespace pages {

/// One word occurrence of the page being annotated, in document order.
struct AnnotatedWord {
  long long line = 0;     // 1-based line of the page
  long long column = 0;   // 1-based byte position of the word
  std::string_view word;  // as written
  std::string_view id;    // its word id
  long long occurrence = 0;
  bool later_on_page = false;  // a higher occurrence number stands on this page
  std::string_view next_page;  // the next page holding the word; empty for none
};

/// What the links of an annotated page need to know of it.
struct PagePlace {
  std::string_view page;   // the page's name
  std::string_view group;  // its group number
  Neighbours neighbours;   // in the list of pages that hold words
  bool last_of_group = false;
};

/// Rewrites one page, read line by line from `in`, into `out`, given its
/// words in document order through Add; Finish copies the rest of the page
/// and closes `out` (raising IoError when it cannot be written).
class PageAnnotator {
 public:
  PageAnnotator(const runctx::Settings& settings, const PagePlace& place, platform::LineReader in,
                platform::LineWriter out);

  void Add(const AnnotatedWord& word);
  void Finish();

 private:
  void WriteRest();
  void ReadUpTo(long long line_number);
  void WriteWord(const AnnotatedWord& word);
  template <typename Id>
  void WriteWordLine(const AnnotatedWord& word, std::string_view before, Id id);
  void WriteLinks(bool blank_after_next);

  const runctx::Settings& settings_;
  PagePlace place_;
  platform::LineReader in_;
  PageWriter out_;
  long long lines_read_ = 0;
  // The line the words are taken from, as the reader holds it: no line is
  // read on while its words are written.
  std::string_view text_;
  bool rest_pending_ = false;  // that line got words; its rest is not yet written
  long long annotated_line_ = 0;
  long long last_column_ = 0;
  long long last_length_ = 0;
  bool script_written_ = false;
  // The fixed text of an occurrence that depends on the page: before the
  // group's index and search page links (the index link after a link to a
  // later occurrence or not).
  std::string later_index_;
  std::string last_index_;
  std::string search_;
  // From the end of a word's id to the second id in its span: the link
  // that opens the page at the word.
  std::string open_;
};

/// The annotated copy of a page: page_03.htm gives page_03_02.htm.
std::string AnnotatedCopyName(std::string_view page);

}  // namespace pages
