// The pages scanned in pieces: runs of whole lines whose words fill a
// buffer of fixed size. The pages are scanned side by side on several
// cores, each page in order on one of them, and their pieces handed on in
// page order; a scanning thread that is ahead waits while it holds its
// pieces, so memory holds a fixed number of pieces whatever the sizes of
// the pages and the number of threads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/lines.h"
#include "platform/paths.h"
#include "run/word_data.h"
#include "scan/line_scan.h"
#include "scan/page_numbering.h"

namespace scan {

/// How much the scan holds at once. Tests lower them; the output does not
/// depend on them.
struct ScanLimits {
  /// A piece ends after the line that brings its words to this many bytes
  /// (PageWords::Bytes), so a piece holds at least one whole line (a page
  /// line is at most a few hundred kB).
  size_t piece_bytes = size_t{1} << 18;
  /// Pieces held at once: three per scanning thread (one being scanned, the
  /// others waiting to be taken in), so the threads that scan are at most a
  /// third as many, whatever the number of threads.
  size_t pieces_held = 32;
};

/// The words of a piece of one page as the scanner takes them, in document
/// order (the input of the word data's writer).
using PageWords = runctx::PageWords;

/// Reads one page piece by piece, the page state (script, style and tag
/// flags, line number, the page's numbering) carried from each piece to the
/// next. A page that cannot be read has no words. `numbering` is cleared
/// first: one is kept per scanning thread, so that its tables are not
/// grown again for every page.
class PageScanner {
 public:
  PageScanner(const platform::HostPath& host, PageNumbering& numbering);

  /// Scans whole lines into `piece` (emptied first) until its words hold
  /// `piece_bytes` or more. False when the page has ended: `piece` is then
  /// its last.
  bool Next(size_t piece_bytes, PageWords* piece);

 private:
  platform::LineReader in_;
  PageScan state_;
  std::vector<Word> words_;
  PageNumbering& numbering_;
  uint32_t line_number_ = 0;
};

/// Called with each piece in page order: the page's index, the piece, and
/// whether it is the page's last (every page has one, maybe empty).
using TakePiece = std::function<void(size_t page, const PageWords& piece, bool last)>;

/// Called on a scanning thread with each piece it has scanned, before the
/// piece is handed on (not called when the caller's thread scans).
using ResolvePiece = std::function<void(PageWords* piece)>;

/// Scans `pages` in pieces on up to `threads` threads (the caller's thread
/// takes the pieces in) and calls `take` for each piece in page order.
/// An exception in a scan or in `take` stops every thread and is thrown
/// again here.
void ScanInPieces(const std::vector<platform::HostPath>& pages, unsigned threads,
                  const ScanLimits& limits, const TakePiece& take,
                  const ResolvePiece& resolve);

}  // namespace scan
