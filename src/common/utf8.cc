#include "common/utf8.h"

#include <cstring>

namespace common {
namespace {

constexpr uint64_t kHighBits = 0x8080808080808080;

// Windows-1252 bytes 80-9F as the WHATWG encoding table reads them; the
// five bytes it leaves unassigned stand for the control characters of the
// same number. Bytes A0-FF are the characters of the same number.
constexpr uint16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The length of the valid UTF-8 sequence that starts `bytes`: 0 when none
// does. `*incomplete` is set when the bytes end within what may still
// become a valid sequence.
size_t ValidSequence(std::string_view bytes, bool* incomplete) {
  *incomplete = false;
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong form
    if (lead == 0xED) high = 0x9F;  // no surrogate
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // no overlong form
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  for (size_t i = 1; i < length; ++i) {
    if (i >= bytes.size()) {
      *incomplete = true;
      return 0;
    }
    const unsigned char c = byte(i);
    if (i == 1 ? (c < low || c > high) : (c < 0x80 || c > 0xBF)) return 0;
  }
  return length;
}

}  // namespace

size_t AppendRepairedUtf8(std::string_view bytes, bool at_end, std::string* out, bool* repaired) {
  size_t from = 0;  // start of the run of valid bytes not yet appended
  size_t at = 0;
  while (at < bytes.size()) {
    // Runs of ASCII, the bulk of most text, eight bytes at a time.
    uint64_t eight = 0;
    while (at + sizeof eight <= bytes.size() &&
           (std::memcpy(&eight, bytes.data() + at, sizeof eight), (eight & kHighBits) == 0)) {
      at += sizeof eight;
    }
    if (at == bytes.size()) break;
    if (static_cast<unsigned char>(bytes[at]) < 0x80) {
      ++at;
      continue;
    }
    bool incomplete = false;
    const size_t length = ValidSequence(bytes.substr(at), &incomplete);
    if (length > 0) {
      at += length;
      continue;
    }
    if (incomplete && !at_end) break;
    out->append(bytes, from, at - from);
    const unsigned char stray = static_cast<unsigned char>(bytes[at]);
    AppendUtf8(stray < 0xA0 ? kWindows1252High[stray - 0x80] : stray, out);
    *repaired = true;
    from = ++at;
  }
  out->append(bytes, from, at - from);
  return at;
}

std::string RepairedUtf8(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  bool repaired = false;
  AppendRepairedUtf8(bytes, /*at_end=*/true, &text, &repaired);
  return text;
}

}  // namespace common
