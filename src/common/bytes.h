// Byte-string helpers shared by every phase. Text is handled as bytes:
// casing changes ASCII letters only, trimming removes spaces only, and
// positions that the phases count from 1 are converted here.
#pragma once

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

namespace common {

/// ASCII lower case; every other byte is kept.
std::string Lower(std::string_view text);
/// `text` in ASCII lower case: `text` itself when it holds no upper-case
/// letter (most words), else its lower case made in the room `room` has
/// (the word scan lowers millions of words). `changed` tells which, so that
/// a hash of `text` also serves the lower case when it is false.
std::string_view LowerOf(std::string_view text, std::string* room, bool* changed);
/// ASCII upper case; every other byte is kept.
std::string Upper(std::string_view text);
inline char LowerByte(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }

std::string_view TrimLeft(std::string_view text);
std::string_view TrimRight(std::string_view text);
/// Removes spaces (byte 32 only, never tabs) from both ends.
inline std::string_view Trim(std::string_view text) {
  // Most texts trimmed (the words of the search pages) have none.
  if (!text.empty() && text.front() != ' ' && text.back() != ' ') return text;
  return TrimRight(TrimLeft(text));
}

/// True when `text` contains `part`.
inline bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}
/// Case-insensitive (ASCII) search; npos when absent.
size_t FindNoCase(std::string_view text, std::string_view part);
/// Case-insensitive (ASCII) equality.
bool EqualsNoCase(std::string_view a, std::string_view b);

/// `text` right-aligned in `width` characters, padded with spaces on the
/// left; a longer text is returned whole.
std::string PadLeft(std::string_view text, size_t width);
/// The decimal digits of `value` with leading zeros up to `width`.
std::string ZeroPad(long long value, size_t width);
/// An integer as printed after a label: one leading space when >= 0.
std::string Labelled(long long value);

/// Appends `text` to `line` and then spaces up to the start of the next
/// 14-column print zone (columns 1, 15, 29, ...). A value that ends exactly
/// at the end of a zone gets no padding.
void AppendZone(std::string& line, std::string_view text);

/// The end of every line the program writes. Lines that a writer would
/// treat alike may be joined by it and written as one.
inline constexpr char kLineEnd[] = "\r\n";

/// A short piece whose bytes may be read for kReadable bytes from its
/// start, whatever its size (a number in a buffer of its own): a line
/// copies that many with no look at the size, and the bytes past the
/// piece are overwritten by what follows it.
struct ShortPiece {
  static constexpr size_t kReadable = 16;
  const char* data = nullptr;
  size_t size = 0;
};

/// The decimal digits of a number in a buffer of its own, to be copied as
/// a ShortPiece: the page writers put two or three numbers in every line.
/// The digits are written from the end of the buffer, two at a time, so a
/// number's length is never worked out first.
class Decimal {
 public:
  explicit Decimal(long long value) {
    if (value < 0) {
      start_ = 0;
      size_ = static_cast<size_t>(std::to_chars(text_, text_ + kMost, value).ptr - text_);
      return;
    }
    auto rest = static_cast<unsigned long long>(value);
    char* at = text_ + kMost;
    while (rest >= 100) {
      at -= 2;
      std::memcpy(at, kPairs + 2 * (rest % 100), 2);
      rest /= 100;
    }
    if (rest >= 10) {
      at -= 2;
      std::memcpy(at, kPairs + 2 * rest, 2);
    } else {
      *--at = static_cast<char>('0' + rest);
    }
    start_ = static_cast<size_t>(at - text_);
    size_ = kMost - start_;
  }
  ShortPiece piece() const { return {text_ + start_, size_}; }

 private:
  static constexpr size_t kMost = 20;  // "-9223372036854775808"
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  char text_[kMost + ShortPiece::kReadable];
  size_t start_;  // where the digits are in text_, and how many
  size_t size_;
};

/// A text kept with ShortPiece::kReadable bytes after it, to be copied as
/// a ShortPiece (a group's number, in every link to the group's pages).
class ShortText {
 public:
  explicit ShortText(std::string_view text) : text_(text), size_(text.size()) {
    text_.append(ShortPiece::kReadable, '\0');
  }
  ShortPiece piece() const { return {text_.data(), size_}; }

 private:
  std::string text_;
  size_t size_;
};

/// Copies `size` bytes, between kStep and 2 * kStep, as a head and a tail
/// of kStep bytes each.
template <size_t kStep>
void CopyHeadAndTail(char* to, const char* from, size_t size) {
  char head[kStep];
  char tail[kStep];
  std::memcpy(head, from, kStep);
  std::memcpy(tail, from + size - kStep, kStep);
  std::memcpy(to, head, kStep);
  std::memcpy(to + size - kStep, tail, kStep);
}

/// Copies up to 32 bytes in place with two overlapping moves, which costs
/// less than a call for the short pieces of unknown size that make up most
/// lines (word ids, words, numbers); the branches fold away for a size
/// known when compiled.
inline void CopyBytes(char* to, const char* from, size_t size) {
  if (size > 32) {
    std::memcpy(to, from, size);
  } else if (size >= 16) {
    CopyHeadAndTail<16>(to, from, size);
  } else if (size >= 8) {
    CopyHeadAndTail<8>(to, from, size);
  } else if (size >= 4) {
    CopyHeadAndTail<4>(to, from, size);
  } else if (size > 0) {
    to[0] = from[0];
    to[size / 2] = from[size / 2];
    to[size - 1] = from[size - 1];
  }
}

/// The pieces that lines are composed of, in a LineBuilder or straight in
/// a page's buffer: a string_view; a string literal (all its bytes but the
/// last) or a span of a fixed size, copied with its size known when
/// compiled; or a ShortPiece, which needs kReadable bytes of room from its
/// start. PutPiece copies a piece to `at` and returns the end.
inline size_t PieceSize(std::string_view piece) { return piece.size(); }
template <size_t N>
constexpr size_t PieceSize(const char (&)[N]) {
  return N - 1;
}
template <size_t N>
constexpr size_t PieceSize(std::span<const char, N>) {
  return N;
}
inline size_t PieceSize(ShortPiece piece) { return piece.size; }

inline char* PutPiece(char* at, std::string_view piece) {
  CopyBytes(at, piece.data(), piece.size());
  return at + piece.size();
}
template <size_t N>
char* PutPiece(char* at, const char (&piece)[N]) {
  std::memcpy(at, piece, N - 1);
  return at + N - 1;
}
template <size_t N>
char* PutPiece(char* at, std::span<const char, N> piece) {
  std::memcpy(at, piece.data(), N);
  return at + N;
}
inline char* PutPiece(char* at, ShortPiece piece) {
  if (piece.size > ShortPiece::kReadable) {
    std::memcpy(at, piece.data, piece.size);
  } else {
    std::memcpy(at, piece.data, ShortPiece::kReadable);
  }
  return at + piece.size;
}

/// A line composed from pieces (see PieceSize) in a buffer that only grows
/// and is never filled first: the page writers compose millions of lines
/// with it.
class LineBuilder {
 public:
  void Clear() { size_ = 0; }
  size_t size() const { return size_; }
  std::string_view view() const { return {buffer_.data(), size_}; }

  template <typename... Pieces>
  void Append(const Pieces&... pieces) {
    const size_t total = (PieceSize(pieces) + ...);
    char* at = Room(total);
    ((at = PutPiece(at, pieces)), ...);
    size_ += total;
  }
  void Append(char c) {
    *Room(1) = c;
    ++size_;
  }
  /// The decimal digits of `value`.
  void AppendNumber(long long value) { Append(Decimal(value).piece()); }

 private:
  // Room for `more` bytes after the line, and kReadable bytes beyond.
  char* Room(size_t more) {
    if (size_ + more + ShortPiece::kReadable > buffer_.size()) Grow(more);
    return buffer_.data() + size_;
  }
  void Grow(size_t more);

  std::string buffer_;
  size_t size_ = 0;
};

/// The bytes that a web-search query writes otherwise (see
/// AppendQueryEncoded).
inline constexpr std::string_view kQueryEncodedBytes = "%#&+\"<>";

/// Marks the given bytes among all 256, so that a scan tells them from the
/// others with one load per byte and no branch.
using ByteTable = std::array<uint8_t, 256>;
constexpr ByteTable ByteTableOf(std::string_view bytes) {
  ByteTable table{};
  for (char c : bytes) table[static_cast<unsigned char>(c)] = 1;
  return table;
}

/// Marks the bytes of kQueryEncodedBytes among all 256.
inline constexpr ByteTable kQueryEncodedTable = ByteTableOf(kQueryEncodedBytes);

/// True when AppendQueryEncoded changes a byte of `text` (a word, as a
/// rule, it does not): one pass with no branch per byte.
inline bool ChangedByQuery(std::string_view text) {
  uint8_t changed = 0;
  for (char c : text) changed |= kQueryEncodedTable[static_cast<unsigned char>(c)];
  return changed != 0;
}

/// Appends `text` for the query of a web-search link (the words, and the
/// site after "site:"): % # & + " < > are written as %25 %23 %26 %2B %22
/// %3C %3E, so the browser neither cuts the query nor changes its meaning
/// and the link's attribute stays closed; the text "&lt;" (a "<" of the
/// text as the pages write it) is read as "<", so written %3C; blanks and
/// all other bytes are appended as they are.
void AppendQueryEncoded(LineBuilder& line, std::string_view text);
/// `text` as AppendQueryEncoded writes it: `text` itself when no byte
/// changes (most words), else the encoding written into `room` (cleared
/// first).
std::string_view QueryEncoded(std::string_view text, LineBuilder& room);

/// Appends `text` as HTML text: & < > " are written as &amp; &lt; &gt;
/// &quot;; all other bytes as they are.
void AppendHtmlEscaped(LineBuilder& line, std::string_view text);

/// Parses a run of ASCII digits; stops at the first other byte. No digits
/// read as 0. Values too large to hold saturate.
long long ParseDigits(std::string_view text);

}  // namespace common
