#include "common/interner.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace common {
namespace {

constexpr uint64_t kMultiplier = 0x9e3779b97f4a7c15ULL;

uint64_t Mix(uint64_t h) {
  h ^= h >> 32;
  h *= 0xd6e8feb86659fd93ULL;
  h ^= h >> 32;
  return h;
}

uint64_t Load32(const char* at) {
  uint32_t value;
  std::memcpy(&value, at, 4);
  return value;
}

}  // namespace

uint64_t HashBytes(std::string_view text) {
  uint64_t h = text.size() * kMultiplier;
  size_t at = 0;
  for (; at + 8 <= text.size(); at += 8) {
    uint64_t chunk;
    std::memcpy(&chunk, text.data() + at, 8);
    h = (h ^ chunk) * kMultiplier;
    h ^= h >> 29;
  }
  // The last bytes, each at its place: four or more (most words) are read
  // as two overlapping halves.
  const char* const rest = text.data() + at;
  const size_t left = text.size() - at;
  uint64_t tail = 0;
  if (left >= 4) {
    tail = Load32(rest) | Load32(rest + left - 4) << (8 * (left - 4));
  } else {
    for (size_t k = 0; k < left; ++k) {
      tail |= static_cast<uint64_t>(static_cast<unsigned char>(rest[k])) << (8 * k);
    }
  }
  h = (h ^ tail) * kMultiplier;
  return Mix(h);
}

Interner::Interner() : starts_{0}, slots_(1024, 0), mask_(1023) {}

// The slot of a text is found from the low bits of its hash; the tag is
// the high half's bits above the number. A table holds at most half as
// many numbers as slots, so number + 1 always fits under the mask.
std::pair<uint32_t, bool> Interner::Intern(std::string_view text, uint64_t hash) {
  const uint32_t tag = static_cast<uint32_t>(hash >> 32) & ~mask_;
  for (size_t slot = hash & mask_;; slot = (slot + 1) & mask_) {
    const uint32_t held = slots_[slot];
    if (held == 0) {
      const auto number = static_cast<uint32_t>(size());
      if (arena_.size() + text.size() > UINT32_MAX) throw std::length_error("words over 4 GB");
      slots_[slot] = tag | (number + 1);
      arena_.append(text);
      starts_.push_back(static_cast<uint32_t>(arena_.size()));
      if (size() * 2 > slots_.size()) Grow();
      return {number, true};
    }
    const uint32_t number = (held & mask_) - 1;
    if ((held & ~mask_) == tag && this->text(number) == text) return {number, false};
  }
}

uint32_t Interner::Find(std::string_view text, uint64_t hash) const {
  const uint32_t tag = static_cast<uint32_t>(hash >> 32) & ~mask_;
  for (size_t slot = hash & mask_;; slot = (slot + 1) & mask_) {
    const uint32_t held = slots_[slot];
    if (held == 0) return kNotFound;
    const uint32_t number = (held & mask_) - 1;
    if ((held & ~mask_) == tag && this->text(number) == text) return number;
  }
}

void Interner::Clear() {
  arena_.clear();
  starts_.assign(1, 0);
  std::fill(slots_.begin(), slots_.end(), 0);
}

// Assigning {} would keep the capacity: the table is swapped out, and the
// texts kept at their size.
void Interner::DropLookup() {
  std::vector<uint32_t>().swap(slots_);
  mask_ = 0;
  arena_.shrink_to_fit();
  starts_.shrink_to_fit();
}

// The tags shrink as the table doubles, so each text's hash is taken again
// (one pass over the arena).
void Interner::Grow() {
  if (slots_.size() >= (size_t{1} << 31)) throw std::length_error("words over 2^30");
  slots_.assign(slots_.size() * 2, 0);
  mask_ = static_cast<uint32_t>(slots_.size() - 1);
  for (uint32_t number = 0; number < size(); ++number) {
    const uint64_t hash = HashBytes(text(number));
    size_t slot = hash & mask_;
    while (slots_[slot] != 0) slot = (slot + 1) & mask_;
    slots_[slot] = (static_cast<uint32_t>(hash >> 32) & ~mask_) | (number + 1);
  }
}

}  // namespace common
