// Which "<" of a text file begins markup. The conversion keeps real markup
// (<b>...</b>, <table>, <p>, <br>, comments) and writes every other "<" as
// "&lt;", so addresses, includes and placeholders in angle brackets show as
// written instead of opening elements that never close.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace input {

/// What decides a "<" that needs to know the rest of the file: where the
/// last end tag of each known element begins and where the last "-->"
/// begins. Filled by a first pass over every line of the text (Record),
/// then read for each line as it is written (Escape). Positions are the
/// caller's offsets of the lines in the text; any numbering that grows
/// along the text serves, used alike in both passes.
class MarkupRule {
 public:
  MarkupRule();

  /// Notes the end tags and "-->" of one text line (line end stripped)
  /// that begins at `line_start`.
  void Record(std::string_view line, uint64_t line_start);

  /// Appends `line` (which begins at `line_start`) to `out`, each "<" that
  /// does not begin markup written as "&lt;"; every other byte unchanged.
  void Escape(std::string_view line, uint64_t line_start, std::string* out) const;

  /// The number of known element names.
  static constexpr size_t kElementCount = 127;

 private:
  bool BeginsMarkup(std::string_view line, size_t at, uint64_t line_start) const;

  static constexpr uint64_t kNever = UINT64_MAX;
  std::array<uint64_t, kElementCount> last_end_tag_;  // kNever: none seen
  uint64_t last_comment_end_ = kNever;
};

}  // namespace input
