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

#include "common/limits.h"
#include "platform/lines.h"
#include "platform/paths.h"
#include "run/word_data.h"
#include "scan/line_scan.h"
#include "scan/page_numbering.h"

namespace scan {

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
/// Where pieces end and how many are held at once follow `limits`
/// (piece_bytes, pieces_held); the words taken in, in their order, do not.
/// An exception in a scan or in `take` stops every thread and is thrown
/// again here.
void ScanInPieces(const std::vector<platform::HostPath>& pages, unsigned threads,
                  const common::Limits& limits, const TakePiece& take, const ResolvePiece& resolve);

}  // namespace scan
