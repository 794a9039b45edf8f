// Byte-string helpers shared by every phase. Text is handled as bytes:
// casing changes ASCII letters only, trimming removes spaces only, and
// positions that the phases count from 1 are converted here.
#pragma once

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace common {

/// ASCII lower case; every other byte is kept.
std::string Lower(std::string_view text);
/// Sets `out` to `text` in ASCII lower case, in the room `out` has (the
/// word scan lowers millions of words). True when a byte changed, so that
/// a hash of `text` also serves the lower case when it is false.
bool LowerInto(std::string_view text, std::string* out);
/// ASCII upper case; every other byte is kept.
std::string Upper(std::string_view text);
inline char LowerByte(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }

/// Removes spaces (byte 32 only, never tabs) from both ends.
std::string_view Trim(std::string_view text);
std::string_view TrimLeft(std::string_view text);
std::string_view TrimRight(std::string_view text);

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

/// A line composed from pieces in a buffer that only grows and is never
/// filled first: the page writers compose millions of lines with it. A
/// string literal piece is copied with its length known when compiled.
class LineBuilder {
 public:
  void Clear() { size_ = 0; }
  /// Keeps the first `size` bytes.
  void Truncate(size_t size) { size_ = std::min(size, size_); }
  size_t size() const { return size_; }
  std::string_view view() const { return {buffer_.data(), size_}; }

  template <typename... Pieces>
  void Append(const Pieces&... pieces) {
    const size_t total = (SizeOf(pieces) + ...);
    char* at = Room(total);
    ((at = Put(at, pieces)), ...);
    size_ += total;
  }
  void Append(char c) { *Room(1) = c; ++size_; }
  /// The decimal digits of `value`.
  void AppendNumber(long long value) {
    char* at = Room(kNumberRoom);
    size_ += static_cast<size_t>(std::to_chars(at, at + kNumberRoom, value).ptr - at);
  }

 private:
  static constexpr size_t kNumberRoom = 20;  // "-9223372036854775808"

  static size_t SizeOf(std::string_view piece) { return piece.size(); }
  template <size_t N>
  static constexpr size_t SizeOf(const char (&)[N]) { return N - 1; }
  static char* Put(char* at, std::string_view piece) {
    if (!piece.empty()) std::memcpy(at, piece.data(), piece.size());
    return at + piece.size();
  }
  template <size_t N>
  static char* Put(char* at, const char (&piece)[N]) {
    std::memcpy(at, piece, N - 1);
    return at + N - 1;
  }
  // Room for `more` bytes after the line.
  char* Room(size_t more) {
    if (size_ + more > buffer_.size()) Grow(more);
    return buffer_.data() + size_;
  }
  void Grow(size_t more);

  std::string buffer_;
  size_t size_ = 0;
};

/// Appends `text` for the query of a web-search link (the words, and the
/// site after "site:"): % # & + " < > are written as %25 %23 %26 %2B %22
/// %3C %3E, so the browser neither cuts the query nor changes its meaning
/// and the link's attribute stays closed; the text "&lt;" (a "<" of the
/// text as the pages write it) is read as "<", so written %3C; blanks and
/// all other bytes are appended as they are.
void AppendQueryEncoded(LineBuilder& line, std::string_view text);

/// Appends `text` as HTML text: & < > " are written as &amp; &lt; &gt;
/// &quot;; all other bytes as they are.
void AppendHtmlEscaped(LineBuilder& line, std::string_view text);

/// Parses a run of ASCII digits; stops at the first other byte. No digits
/// read as 0. Values too large to hold saturate.
long long ParseDigits(std::string_view text);

}  // namespace common
