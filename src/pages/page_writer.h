// The output of one page. The index pages (index.htm, i_<g>.htm, s_<g>.htm)
// are one run of inline content cut by "<br>" lines, which a browser lays out
// in more than linear time; an empty block after every 1,000th break line
// keeps that layout linear and changes nothing on the screen.
#pragma once

#include <initializer_list>
#include <string_view>
#include <utility>

#include "platform/lines.h"

namespace pages {

/// Whether a page is written in blocks (the index pages) or as it is.
enum class PageLayout { kPlain, kInBlocks };

/// Lines that count as breaks, and the block written after every
/// kBreaksPerBlock-th of them.
inline constexpr std::string_view kBreakLine = "<br>";
inline constexpr std::string_view kDoubleBreakLine = "<br><br>";
inline constexpr std::string_view kBlockLine = "<div></div>";
inline constexpr long long kBreaksPerBlock = 1000;

/// Writes the lines of one page (each ended by CR LF) into the file it
/// owns. In blocks, every line that is exactly "<br>" or "<br><br>" is
/// counted from the top of the file, and the line "<div></div>" follows
/// every 1,000th; a page with fewer such lines is written byte for byte as
/// in the plain layout.
class PageWriter {
 public:
  PageWriter(platform::LineWriter out, PageLayout layout)
      : out_(std::move(out)), in_blocks_(layout == PageLayout::kInBlocks) {}

  void Line(std::string_view text) {
    out_.Line(text);
    if (in_blocks_ && (text == kBreakLine || text == kDoubleBreakLine)) CountBreak();
  }

  /// Writes the pieces joined as one line (inlined as the line writer's).
  template <typename... Pieces>
  [[gnu::always_inline]] void LineOf(const Pieces&... pieces) {
    const size_t size = out_.LineOf(pieces...);
    // Only a line of a break line's size is looked at (most lines are long).
    if (in_blocks_ && (size == kBreakLine.size() || size == kDoubleBreakLine.size())) {
      CountBreakOf({platform::LineWriter::Text(pieces)...});
    }
  }

  /// Flushes and closes; raises IoError when the page could not be written.
  void Close() { out_.Close(); }

 private:
  // Counts a break line, and writes the block after every
  // kBreaksPerBlock-th.
  void CountBreak() {
    if (++breaks_ % kBreaksPerBlock == 0) out_.Line(kBlockLine);
  }
  // Counts the line of these pieces when it is a break line.
  void CountBreakOf(std::initializer_list<std::string_view> pieces);

  platform::LineWriter out_;
  bool in_blocks_;
  long long breaks_ = 0;
};

}  // namespace pages
