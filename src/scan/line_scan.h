// The word scanner of one page line. A word is the text between two
// boundaries of the line: the spaces outside tags, the starts and ends of
// tags and the ends of the line. Lines of script and style blocks, link
// lines over the link threshold, marker lines and lines wholly inside a tag
// give no words.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace scan {

/// One word taken from a line, after the quote treatment.
struct Word {
  size_t position = 0;       // 1-based byte position of its first byte
  size_t scan_position = 0;  // the scan position at which it was taken
  // 3 bytes or more: in the line, or in PageScan::quoted when quotes were
  // changed; valid until the next line is read or scanned.
  std::string_view text;
};

/// A tag span: the 1-based positions of a "<" and of the first ">" after it
/// (or of the line's last byte when no ">" follows).
struct Span {
  size_t start = 0;
  size_t end = 0;
};

/// The scanner's state over one page, and buffers reused from line to line.
struct PageScan {
  bool script_opened = false;
  bool script_closed = false;
  bool style_opened = false;
  bool style_closed = false;
  bool unfinished_tag = false;  // a "<" whose ">" is on a later line

  /// Clears the flags when a page is opened; nothing carries over from the
  /// previous page.
  void Reset();

  std::string lower;        // the line in lower case
  std::vector<Span> spans;  // the line's tag spans
  std::string quoted;       // the texts of the line's words whose quotes changed
};

/// Scans one line of a page. Returns false when the line is skipped (it
/// gives no words and no listing entry); otherwise `words` holds the words
/// taken, in order, their texts in `line` or in `state`. Linear in the
/// line's length; never reads outside it.
bool ScanLine(std::string_view line, PageScan& state, std::vector<Word>* words);

/// The block test for `keyword` (a script or style tag): its first
/// occurrence must follow a "<" with only spaces between. The "<" is looked
/// for forward from the byte before the keyword, then from each earlier
/// byte in turn, so a "<" after the keyword makes the test fail.
bool BlockTest(std::string_view line, std::string_view keyword);

/// The link threshold's number: spaces skipped from 0-based `from`, then a
/// run of ASCII digits; anything else (or nothing) reads as 0.
long long ReadLinkNumber(std::string_view line, size_t from);

/// Links to numbers above this are link lines that give no words.
inline constexpr long long kLinkThreshold = 2000;

}  // namespace scan
