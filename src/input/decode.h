// The text of an input file as UTF-8, whatever the editor saved: UTF-16
// with a byte order mark is converted, and bytes that are no part of valid
// UTF-8 are read as Windows-1252, since the pages all declare UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/line_split.h"
#include "platform/host.h"
#include "platform/lines.h"

namespace input {

/// Turns the bytes of one text file, fed in pieces of any size, into UTF-8.
/// A file that opens with FF FE (or FE FF) is UTF-16 little-endian (or
/// big-endian): the mark goes, an unpaired surrogate or an odd last byte
/// becomes U+FFFD. Any other file is read as UTF-8 (RFC 3629: no overlong
/// forms, no surrogates, nothing above U+10FFFF); its valid sequences stay
/// as they are and every other byte is read as Windows-1252.
class TextDecoder {
 public:
  /// Appends the UTF-8 of the next bytes of the file to `out`; bytes that
  /// may be part of a character not yet complete are held back.
  void Feed(std::string_view bytes, std::string* out);
  /// Appends what the held-back bytes give at the end of the file.
  void Finish(std::string* out);
  /// True once a byte was read as Windows-1252 (the file is not UTF-8).
  bool read_as_windows_1252() const { return read_as_windows_1252_; }

 private:
  enum class Form { kUnknown, kUtf8, kUtf16Little, kUtf16Big };
  void DecodeUtf8(std::string_view bytes, bool at_end, std::string* out);
  void DecodeUtf16(std::string_view bytes, bool at_end, std::string* out);

  Form form_ = Form::kUnknown;
  std::string held_;
  uint32_t high_surrogate_ = 0;  // 0: none waiting for its low half
  bool read_as_windows_1252_ = false;
};

/// The lines of a text file as decoded by TextDecoder, in pieces of at
/// most `longest_piece` bytes, so that a line of any length costs a bounded
/// buffer. A line ends at LF, a CR directly before the LF is dropped, a
/// last line without LF is still a line (as platform::LineReader reads
/// them). A missing file has no lines. Where a line is cut into pieces
/// depends only on its bytes, never on how the file was read. The decoded
/// text of a file of up to `keep` bytes is kept as it is read, so that
/// reading it again reads nothing from the disk.
class DecodedLines {
 public:
  DecodedLines(const platform::HostPath& host, size_t buffer_size, size_t keep = 0,
               size_t longest_piece = SIZE_MAX);

  /// Sets `piece` to the next piece of a line: the rest of the line, or
  /// `longest_piece` bytes of it, or one fewer where the last would be a
  /// CR (a CR may belong to the line end). `*line_end` tells whether the
  /// piece ends its line; an empty line is one empty piece. False after
  /// the last line. The view stays valid until the next call.
  bool Next(std::string_view* piece, bool* line_end);
  /// Starts again from the first line: from the kept text when the whole
  /// file was read and kept, else from the file.
  void Rewind();
  /// True when a byte of the lines read so far was read as Windows-1252.
  bool read_as_windows_1252() const { return decoder_.read_as_windows_1252(); }

 private:
  // Sets chunk_ to the next decoded bytes; false at the end of the text.
  bool Fill();

  platform::ChunkReader file_;
  TextDecoder decoder_;
  std::string text_;        // the decoded bytes of the last chunk read
  std::string_view chunk_;  // of text_ or kept_: the bytes not yet taken
  bool ended_ = false;      // the file is read to its end
  common::SplitState split_;
  size_t longest_piece_;
  size_t keep_;
  std::string kept_;  // the decoded text so far, while it fits in keep_
  bool keeping_;
  bool replaying_ = false;  // chunk_ is the kept text
};

}  // namespace input
