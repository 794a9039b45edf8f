// Splitting buffered bytes into lines, shared by the readers that refill a
// buffer from a file (platform/lines.h) and from a decoder (input/decode.h).
#pragma once

#include <cstring>
#include <string>
#include <string_view>

namespace common {

/// Takes the next line out of `rest`, the bytes of the buffer not split
/// yet: it ends at LF, and a CR just before the LF is dropped; a last line
/// without LF is still a line. When `rest` holds no LF, `fill(rest)` gives
/// the next bytes (false at the end) and a line that spans buffers is
/// gathered in `carry`. `*line` stays valid until the next call. False when
/// no line is left.
template <typename Fill>
bool SplitLine(std::string_view& rest, std::string& carry, std::string_view* line, Fill&& fill) {
  carry.clear();
  bool carrying = false;
  for (;;) {
    if (!rest.empty()) {
      const void* hit = std::memchr(rest.data(), '\n', rest.size());
      if (hit != nullptr) {
        const size_t length = static_cast<const char*>(hit) - rest.data();
        std::string_view piece = rest.substr(0, length);
        rest.remove_prefix(length + 1);
        if (carrying) {
          carry.append(piece);
          piece = carry;
        }
        if (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
        *line = piece;
        return true;
      }
      carry.append(rest);
      carrying = true;
      rest = {};
    }
    if (!fill(rest)) {
      if (!carrying) return false;
      *line = carry;
      return true;
    }
  }
}

}  // namespace common
