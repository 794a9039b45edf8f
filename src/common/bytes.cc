#include "common/bytes.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <utility>

namespace common {

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerByte(c);
  return out;
}

std::string_view LowerOf(std::string_view text, std::string* room, bool* changed) {
  const auto first =
      std::find_if(text.begin(), text.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
  *changed = first != text.end();
  if (!*changed) return text;
  room->assign(text);
  for (auto at = room->begin() + (first - text.begin()); at != room->end(); ++at)
    *at = LowerByte(*at);
  return *room;
}

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = char(c - 32);
  }
  return out;
}

std::string_view TrimLeft(std::string_view text) {
  size_t start = text.find_first_not_of(' ');
  return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

std::string_view TrimRight(std::string_view text) {
  size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerByte(a[i]) != LowerByte(b[i])) return false;
  }
  return true;
}

size_t FindNoCase(std::string_view text, std::string_view part) {
  if (part.empty()) return 0;
  if (part.size() > text.size()) return std::string_view::npos;
  // Candidates start where the first byte matches in either case.
  const char lower = LowerByte(part[0]);
  const char upper = (lower >= 'a' && lower <= 'z') ? char(lower - 32) : lower;
  const size_t last = text.size() - part.size();
  if (lower == upper) {
    // A first byte without case ("<" of a tag): let memchr find candidates.
    for (size_t i = 0; i <= last; ++i) {
      const void* hit = std::memchr(text.data() + i, lower, last - i + 1);
      if (hit == nullptr) break;
      i = static_cast<size_t>(static_cast<const char*>(hit) - text.data());
      if (EqualsNoCase(text.substr(i + 1, part.size() - 1), part.substr(1))) return i;
    }
    return std::string_view::npos;
  }
  for (size_t i = 0; i <= last; ++i) {
    if (text[i] != lower && text[i] != upper) continue;
    if (EqualsNoCase(text.substr(i + 1, part.size() - 1), part.substr(1))) return i;
  }
  return std::string_view::npos;
}

std::string PadLeft(std::string_view text, size_t width) {
  if (text.size() >= width) return std::string(text);
  std::string out(width - text.size(), ' ');
  out += text;
  return out;
}

std::string ZeroPad(long long value, size_t width) {
  std::string digits = std::to_string(value);
  if (digits.size() >= width) return digits;
  return std::string(width - digits.size(), '0') + digits;
}

std::string Labelled(long long value) {
  std::string out = value >= 0 ? std::string(1, ' ') : std::string();
  out += std::to_string(value);
  return out;
}

void AppendZone(std::string& line, std::string_view text) {
  line += text;
  constexpr size_t kZone = 14;
  size_t rest = line.size() % kZone;
  if (rest != 0) line.append(kZone - rest, ' ');
}

void LineBuilder::Grow(size_t more) {
  buffer_.resize(std::max(size_ + more + ShortPiece::kReadable, 2 * buffer_.size() + 64));
}

namespace {

// What the query and the HTML text write for their special bytes (empty for
// every other byte); kQueryEncodedTable and kHtmlSpecial mark the same bytes.
using ByteCodes = std::array<std::string_view, 256>;

constexpr ByteCodes CodesOf(std::initializer_list<std::pair<char, std::string_view>> pairs) {
  ByteCodes codes{};
  for (auto [byte, code] : pairs) codes[static_cast<unsigned char>(byte)] = code;
  return codes;
}

constexpr ByteCodes kQueryCodes = CodesOf({{'%', "%25"},
                                           {'#', "%23"},
                                           {'&', "%26"},
                                           {'+', "%2B"},
                                           {'"', "%22"},
                                           {'<', "%3C"},
                                           {'>', "%3E"}});

constexpr ByteTable kHtmlSpecial = ByteTableOf("&<>\"");
constexpr ByteCodes kHtmlCodes =
    CodesOf({{'&', "&amp;"}, {'<', "&lt;"}, {'>', "&gt;"}, {'"', "&quot;"}});

// Appends `text` with each byte that `special` marks written as its code.
// A non-empty `read_as_less` (the query's "&lt;", a "<" of the text as the
// pages write it) is written as the code of '<'. Runs of other bytes are
// skipped through the table and appended whole.
void AppendCoded(LineBuilder& line, std::string_view text, const ByteTable& special,
                 const ByteCodes& codes, std::string_view read_as_less) {
  const char* at = text.data();
  const char* const end = at + text.size();
  while (at != end) {
    const char* run_end = at;
    while (run_end != end && !special[static_cast<unsigned char>(*run_end)]) ++run_end;
    line.Append(std::string_view(at, static_cast<size_t>(run_end - at)));
    if (run_end == end) break;
    std::string_view rest(run_end, static_cast<size_t>(end - run_end));
    if (!read_as_less.empty() && rest.starts_with(read_as_less)) {
      line.Append(codes['<']);
      at = run_end + read_as_less.size();
    } else {
      line.Append(codes[static_cast<unsigned char>(*run_end)]);
      at = run_end + 1;
    }
  }
}

}  // namespace

void AppendQueryEncoded(LineBuilder& line, std::string_view text) {
  AppendCoded(line, text, kQueryEncodedTable, kQueryCodes, "&lt;");
}

std::string_view QueryEncoded(std::string_view text, LineBuilder& room) {
  if (!ChangedByQuery(text)) return text;
  room.Clear();
  AppendQueryEncoded(room, text);
  return room.view();
}

void AppendHtmlEscaped(LineBuilder& line, std::string_view text) {
  AppendCoded(line, text, kHtmlSpecial, kHtmlCodes, {});
}

long long ParseDigits(std::string_view text) {
  long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    if (value > (std::numeric_limits<long long>::max() - 9) / 10) {
      return std::numeric_limits<long long>::max();
    }
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace common
