// Numbers distinct byte strings 0, 1, 2, ... in order of first sight: an
// open-addressing table of the strings' numbers over one arena of their
// bytes, so that looking up a word costs a hash and usually one compare.
// Each slot keeps some bits of its string's hash beside the number, so a
// probe passes over other strings without reading their bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/compiler.h"

namespace common {

/// A 64-bit hash of `text`, the same on every host.
uint64_t HashBytes(std::string_view text);

class Interner {
 public:
  Interner();

  /// The number of `text` (whose HashBytes is `hash`), and whether it is
  /// new: a new text gets the next number.
  std::pair<uint32_t, bool> Intern(std::string_view text, uint64_t hash);

  /// The number of `text` (whose HashBytes is `hash`), or kNotFound.
  uint32_t Find(std::string_view text, uint64_t hash) const;
  static constexpr uint32_t kNotFound = UINT32_MAX;

  /// Forgets every text; the table keeps its size, so an interner used
  /// again for a like set of texts does not grow again.
  void Clear();

  /// Frees the lookup table and the spare room of the texts: the texts
  /// stay, Intern may no longer be called.
  void DropLookup();

  size_t size() const { return starts_.size() - 1; }
  /// Asks the processor to fetch the slot where a lookup of a text whose
  /// hash is `hash` starts.
  void PrefetchSlot(uint64_t hash) const { Prefetch(slots_.data() + (hash & mask_)); }
  /// Asks the processor to fetch where text(number) begins and ends.
  void PrefetchText(uint32_t number) const { Prefetch(&starts_[number]); }
  std::string_view text(uint32_t number) const {
    return std::string_view(arena_).substr(starts_[number], starts_[number + 1] - starts_[number]);
  }

 private:
  void Grow();

  std::string arena_;             // under 4 GB: the texts of distinct words
  std::vector<uint32_t> starts_;  // by number, and the arena's end last
  // number + 1 in the bits of mask_, the tag of its hash in the others; 0
  // is an empty slot.
  std::vector<uint32_t> slots_;
  uint32_t mask_ = 0;
};

}  // namespace common
