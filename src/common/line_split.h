// Splitting buffered bytes into lines, shared by the readers that refill a
// buffer from a file (platform/lines.h) and from a decoder (input/decode.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace common {

/// Where a splitter stands between calls: a piece that spans buffers is
/// gathered in `carry`; `held_cr` tells that a CR left out of the last
/// piece opens the next; `in_line` that a piece of the current line was
/// given.
struct SplitState {
  std::string carry;
  bool held_cr = false;
  bool in_line = false;
};

/// Takes the next piece of a line out of `rest`, the bytes of the buffer
/// not split yet: the rest of the line, which ends at LF (a CR just before
/// the LF is dropped; a last line without LF is still a line), or
/// `longest` bytes of it (at least 2), or one fewer where the last would be
/// a CR, which may belong to the line end. `*line_end` tells whether the
/// piece ends its line; an empty line is one empty piece. When `rest` holds
/// no LF, `fill(rest)` gives the next bytes (false at the end). `*piece`
/// stays valid until the next call. False when no line is left.
template <typename Fill>
bool SplitPiece(std::string_view& rest, SplitState& state, size_t longest, std::string_view* piece,
                bool* line_end, Fill&& fill) {
  std::string& carry = state.carry;
  carry.clear();
  bool carrying = false;
  if (state.held_cr) {
    carry.push_back('\r');
    carrying = true;
    state.held_cr = false;
  }
  for (;;) {
    if (!rest.empty()) {
      // The line ends within the room left, or the piece fills it.
      const size_t room = longest - carry.size();
      const size_t scan = room < rest.size() ? room + 1 : rest.size();
      const void* hit = std::memchr(rest.data(), '\n', scan);
      if (hit != nullptr) {
        const auto length = static_cast<size_t>(static_cast<const char*>(hit) - rest.data());
        std::string_view taken = rest.substr(0, length);
        rest.remove_prefix(length + 1);
        if (carrying) {
          carry.append(taken);
          taken = carry;
        }
        if (!taken.empty() && taken.back() == '\r') taken.remove_suffix(1);
        *piece = taken;
        *line_end = true;
        state.in_line = false;
        return true;
      }
      if (rest.size() > room) {
        std::string_view taken = rest.substr(0, room);
        rest.remove_prefix(room);
        if (carrying) {
          carry.append(taken);
          taken = carry;
        }
        if (taken.back() == '\r') {
          taken.remove_suffix(1);
          state.held_cr = true;
        }
        *piece = taken;
        *line_end = false;
        state.in_line = true;
        return true;
      }
      carry.append(rest);
      carrying = true;
      rest = {};
    }
    if (!fill(rest)) {
      if (!carrying && !state.in_line) return false;
      *piece = carry;
      *line_end = true;
      state.in_line = false;
      return true;
    }
  }
}

/// SplitPiece for whole lines, however long.
template <typename Fill>
bool SplitLine(std::string_view& rest, SplitState& state, std::string_view* line, Fill&& fill) {
  bool line_end;
  return SplitPiece(rest, state, SIZE_MAX, line, &line_end, fill);
}

}  // namespace common
