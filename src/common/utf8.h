// UTF-8 out of bytes that may not be UTF-8: what the pages declare, whatever
// the text files or the typed address held. Valid sequences stay as they
// are; every other byte is read as Windows-1252, the likeliest origin of a
// stray byte in text kept on the home platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace common {

/// Appends the UTF-8 form of the code point `code` (at most U+10FFFF).
inline void AppendUtf8(uint32_t code, std::string* out) {
  if (code < 0x80) {
    out->push_back(char(code));
  } else if (code < 0x800) {
    out->push_back(char(0xC0 | (code >> 6)));
    out->push_back(char(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out->push_back(char(0xE0 | (code >> 12)));
    out->push_back(char(0x80 | ((code >> 6) & 0x3F)));
    out->push_back(char(0x80 | (code & 0x3F)));
  } else {
    out->push_back(char(0xF0 | (code >> 18)));
    out->push_back(char(0x80 | ((code >> 12) & 0x3F)));
    out->push_back(char(0x80 | ((code >> 6) & 0x3F)));
    out->push_back(char(0x80 | (code & 0x3F)));
  }
}

/// Appends `bytes` to `out` as UTF-8: the valid sequences (RFC 3629: no
/// overlong forms, no surrogates, nothing above U+10FFFF) as they are, every
/// other byte read as Windows-1252 (the WHATWG table; 81 8D 8F 90 9D stand
/// for the control characters of the same number). Unless `at_end`, a
/// sequence cut by the end of `bytes` is left for the caller to hand in
/// again with the bytes that follow. Returns how many bytes were taken;
/// sets `*repaired` once a byte was read as Windows-1252.
size_t AppendRepairedUtf8(std::string_view bytes, bool at_end, std::string* out, bool* repaired);

/// `bytes` as UTF-8, as AppendRepairedUtf8 reads them, all taken.
std::string RepairedUtf8(std::string_view bytes);

}  // namespace common
