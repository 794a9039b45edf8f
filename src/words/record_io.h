// Work files of the word list pipeline: a record reader that splits each
// line into its fields, a writer that composes records in one reused
// buffer (millions of records pass through each step), and the small
// helpers the steps share.
#pragma once

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "common/lines.h"
#include "driver/run_context.h"

namespace words {

/// Reads a work file record by record; a missing file has no records.
class RecordReader {
 public:
  RecordReader(driver::RunContext& run, std::string_view name);

  /// Moves to the next record; false at the end. `skip` leading bytes of
  /// the line are not part of the record (a sort key put in front).
  bool Next(size_t skip = 0);
  /// The line as read (with any skipped bytes).
  std::string_view line() const { return line_; }
  /// Field `index` (0-based); empty when the record has fewer fields.
  std::string_view field(size_t index) const {
    return index < fields_.size() ? fields_[index] : std::string_view();
  }

 private:
  common::LineReader reader_;
  std::string_view line_;
  std::vector<std::string_view> fields_;
};

/// Writes record lines (quoted fields, commas, CR LF) to a work file.
class RecordWriter {
 public:
  RecordWriter() = default;
  RecordWriter(driver::RunContext& run, std::string_view name);

  void Write(std::initializer_list<std::string_view> fields);
  /// Writes a line as it stands.
  void Line(std::string_view text) { writer_.Line(text); }
  void Close() { writer_.Close(); }

 private:
  common::LineWriter writer_;
  std::string scratch_;
};

/// Deletes a work file of the phase's own (a merged chunk, a scratch file)
/// directly: a "del" command would list the whole folder each time, and the
/// folder may hold one id file per distinct word. A file that cannot be
/// deleted stays, silently.
void RemoveWorkFile(driver::RunContext& run, std::string_view name);

/// "id" followed by `number` zero-padded to 8 digits.
std::string WordId(long long number);

/// Sets `out` to `text` in ASCII lower case, reusing its storage.
void LowerInto(std::string_view text, std::string* out);

/// Hashing for maps keyed by std::string that are looked up with views,
/// so the hot loops look up without building a string.
struct ViewHash {
  using is_transparent = void;
  size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

}  // namespace words
