// Which "<" of a text file begins markup. The conversion keeps real markup
// (<b>...</b>, <table>, <p>, <br>, comments) and writes every other "<" as
// "&lt;", so addresses, includes and placeholders in angle brackets show as
// written instead of opening elements that never close.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace input {

/// A stretch of one line of a text, as the markup rule reads it: `bytes`
/// begin at offset `start` of the text (any numbering that grows along the
/// text, used alike in both passes), and the rule decides the bytes
/// [0, settled). The bytes after them, at least kLookahead unless the line
/// ends first, let a decision look ahead; the last window of a line
/// settles all its bytes. A short line is one window.
struct LineWindow {
  /// Bytes a window holds past its settled ones: "</blockquote" and the
  /// byte after it.
  static constexpr size_t kLookahead = 16;

  std::string_view bytes;
  size_t settled = 0;
  uint64_t start = 0;
  bool first = true;  // the first window of its line
  bool last = true;   // the last: `bytes` end where the line ends
};

/// What decides a "<" that needs to know the rest of the file: where the
/// last end tag of each known element begins, where the last "-->" begins,
/// and, for each line of several windows, where its last "?>" begins.
/// Filled by a first pass over every window of the text (Record), then
/// read for each window as it is written (Escape); both passes must see
/// the same windows.
class MarkupRule {
 public:
  MarkupRule();

  /// Notes the end tags, "-->" and "?>" that begin in the settled bytes of
  /// `window`.
  void Record(const LineWindow& window);

  /// Appends the settled bytes of `window` to `out`, each "<" that does not
  /// begin markup written as "&lt;"; every other byte unchanged.
  void Escape(const LineWindow& window, std::string* out);

  /// The number of known element names.
  static constexpr size_t kElementCount = 121;

 private:
  bool BeginsMarkup(const LineWindow& window, size_t at) const;

  static constexpr uint64_t kNever = UINT64_MAX;
  std::array<uint64_t, kElementCount> last_end_tag_;  // kNever: none seen
  uint64_t last_comment_end_ = kNever;
  // The last "?>" of each line of several windows, in text order, and of
  // the line being read (kNever: none); the next line's index while
  // escaping.
  std::vector<uint64_t> last_instruction_ends_;
  uint64_t line_instruction_end_ = kNever;
  size_t next_line_ = 0;
};

}  // namespace input
