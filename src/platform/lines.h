// Buffered line reading and writing for work files and pages. A line ends
// at LF; a CR directly before the LF is dropped; a last line without LF is
// still a line. Every line written ends with CR LF.
#pragma once

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/bytes.h"
#include "common/io_error.h"
#include "common/line_split.h"
#include "platform/host.h"

namespace platform {

/// Reads a file line by line. A file that is missing or cannot be opened
/// delivers no lines: listings that do not exist are simply empty.
class LineReader {
 public:
  LineReader() = default;
  explicit LineReader(const std::filesystem::path& path);
  /// As above with a read buffer of `buffer_size` bytes (the sort's merge
  /// keeps many chunk files open at once, each with a small buffer).
  LineReader(const std::filesystem::path& path, size_t buffer_size);
  ~LineReader();
  LineReader(LineReader&& other) noexcept;
  LineReader& operator=(LineReader&& other) noexcept;
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  bool is_open() const { return file_ != nullptr; }
  /// Sets `line` to the next line without its ending; false at the end.
  /// The view stays valid until the next call.
  bool Next(std::string_view* line);
  /// Starts again from the first line.
  void Rewind();
  void Close();

  /// Before the first line: reads as much of the file as the buffer holds.
  /// True when that is the whole file, which is then never read again (so
  /// it may be written over while its lines are taken).
  bool ReadWhole();

 private:
  bool Fill();

  std::FILE* file_ = nullptr;
  // Left uninitialised: a reader is opened for every page and listing, and
  // clearing a large buffer each time cost more than reading the file.
  std::unique_ptr<char[]> buffer_;
  size_t capacity_ = 0;
  size_t start_ = 0;
  size_t end_ = 0;
  bool eof_ = false;
  common::SplitState split_;
};

/// Reads a file in pieces of at most the buffer size, in order, for readers
/// that decode the bytes before they split lines. A file that is missing or
/// cannot be opened has no pieces.
class ChunkReader {
 public:
  ChunkReader(const std::filesystem::path& path, size_t buffer_size);
  ~ChunkReader();
  ChunkReader(const ChunkReader&) = delete;
  ChunkReader& operator=(const ChunkReader&) = delete;

  /// Sets `chunk` to the next bytes; false at the end. The view stays valid
  /// until the next call.
  bool Next(std::string_view* chunk);
  /// Starts again from the first byte.
  void Rewind();

 private:
  std::FILE* file_ = nullptr;
  std::unique_ptr<char[]> buffer_;
  size_t capacity_ = 0;
};

/// A short piece read for a fixed size whatever its own (see
/// common::ShortPiece).
using common::ShortPiece;

/// Writes lines ended by CR LF through a large buffer, handed to the system
/// in one write per buffer, into a file the door opened (Paths::Create).
/// Failing to write raises IoError.
/// The pages write millions of short lines of a few pieces each, so a line
/// costs one check for room and then plain copies of its pieces (no line is
/// composed first); pieces that are literals become copies of known size.
class LineWriter {
 public:
  LineWriter() = default;
  /// Writes into `file`, which the writer closes.
  explicit LineWriter(OpenedFile file);
  ~LineWriter();
  LineWriter(LineWriter&& other) noexcept;
  LineWriter& operator=(LineWriter&& other) noexcept;
  LineWriter(const LineWriter&) = delete;
  LineWriter& operator=(const LineWriter&) = delete;

  bool is_open() const { return file_ != nullptr; }

  /// Writes `text` followed by CR LF.
  void Line(std::string_view text) {
    if (text.size() + 2 > Room()) return Spill({text}, /*end_line=*/true);
    Put(text);
    PutLineEnd();
  }

  /// Writes `text` as it is.
  void Write(std::string_view text) {
    if (text.size() > Room()) return Spill({text}, /*end_line=*/false);
    Put(text);
  }

  /// Writes the pieces joined, followed by CR LF. A piece that is a string
  /// literal, or a span of a fixed size, is copied with its size known when
  /// compiled (a char array is taken for a literal: all its bytes but the
  /// last); see common::PieceSize. The buffer has ShortPiece::kReadable
  /// bytes beyond its limit for a short piece that ends a line that just
  /// fits.
  /// Returns the size of the line without its end. Always inlined: a call
  /// would cost more than the copies, in passing every piece.
  template <typename... Pieces>
  [[gnu::always_inline]] size_t LineOf(const Pieces&... pieces) {
    const size_t size = (common::PieceSize(pieces) + ... + 0);
    if (size + 2 > Room()) {
      Spill({Text(pieces)...}, /*end_line=*/true);
      return size;
    }
    // The end is kept in a local: a member would be read back after every
    // piece, as any byte written might be the member itself.
    char* at = next_;
    ((at = common::PutPiece(at, pieces)), ...);
    std::memcpy(at, "\r\n", 2);
    next_ = at + 2;
    return size;
  }

  /// Writes over the regular file `host` of `size` bytes, opened for
  /// update as `file`, from its start, keeping the file; at Close it is cut
  /// to what was written.
  static LineWriter Over(OpenedFile file, const std::filesystem::path& host, uint64_t size);

  /// Flushes and closes; raises IoError when the data could not be written.
  void Close();

  /// A piece of a line as text.
  static std::string_view Text(std::string_view piece) { return piece; }
  template <size_t N>
  static std::string_view Text(std::span<const char, N> piece) {
    return {piece.data(), N};
  }
  static std::string_view Text(ShortPiece piece) { return {piece.data, piece.size}; }

 private:
  // Free bytes in the buffer; none while no file is open, so every write
  // then takes the slow path, which ignores it.
  size_t Room() const { return static_cast<size_t>(limit_ - next_); }
  void Put(std::string_view piece) { next_ = common::PutPiece(next_, piece); }
  void PutLineEnd() {
    std::memcpy(next_, "\r\n", 2);
    next_ += 2;
  }
  // Writes pieces that do not fit in the room left, flushing the buffer as
  // it fills.
  void Spill(std::initializer_list<std::string_view> pieces, bool end_line);
  void Flush();

  // Takes `file` to write into, unbuffered, through the buffer below.
  void Adopt(OpenedFile file);

  std::FILE* file_ = nullptr;
  std::string path_;
  std::unique_ptr<char[]> buffer_;
  char* next_ = nullptr;
  char* limit_ = nullptr;
  uint64_t written_ = 0;        // bytes handed to the file
  std::filesystem::path over_;  // a file written over, and its size
  uint64_t overwritten_ = 0;
};

/// Reads a whole file's bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);

}  // namespace platform
