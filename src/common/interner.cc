#include "common/interner.h"

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
  uint64_t tail = 0;
  for (size_t shift = 0; at < text.size(); ++at, shift += 8) {
    tail |= static_cast<uint64_t>(static_cast<unsigned char>(text[at])) << shift;
  }
  h = (h ^ tail) * kMultiplier;
  return Mix(h);
}

Interner::Interner() : starts_{0}, slots_(1024, 0), mask_(1023) {}

// The slot of a text is found from the low half of its hash (tables stay
// under 2^32 slots), so that half is all the table keeps.
std::pair<uint32_t, bool> Interner::Intern(std::string_view text, uint64_t hash) {
  const auto low = static_cast<uint32_t>(hash);
  for (size_t slot = low & mask_;; slot = (slot + 1) & mask_) {
    const uint32_t held = slots_[slot];
    if (held == 0) {
      const auto number = static_cast<uint32_t>(hashes_.size());
      if (arena_.size() + text.size() > UINT32_MAX) throw std::length_error("words over 4 GB");
      slots_[slot] = number + 1;
      hashes_.push_back(low);
      arena_.append(text);
      starts_.push_back(static_cast<uint32_t>(arena_.size()));
      if (hashes_.size() * 2 > slots_.size()) Grow();
      return {number, true};
    }
    if (hashes_[held - 1] == low && this->text(held - 1) == text) return {held - 1, false};
  }
}

uint32_t Interner::Find(std::string_view text, uint64_t hash) const {
  const auto low = static_cast<uint32_t>(hash);
  for (size_t slot = low & mask_;; slot = (slot + 1) & mask_) {
    const uint32_t held = slots_[slot];
    if (held == 0) return kNotFound;
    if (hashes_[held - 1] == low && this->text(held - 1) == text) return held - 1;
  }
}

// Assigning {} would keep the capacity: the tables are swapped out, and
// the texts kept at their size.
void Interner::DropLookup() {
  std::vector<uint32_t>().swap(slots_);
  std::vector<uint32_t>().swap(hashes_);
  mask_ = 0;
  arena_.shrink_to_fit();
  starts_.shrink_to_fit();
}

void Interner::Grow() {
  slots_.assign(slots_.size() * 2, 0);
  mask_ = slots_.size() - 1;
  for (uint32_t number = 0; number < hashes_.size(); ++number) {
    size_t slot = hashes_[number] & mask_;
    while (slots_[slot] != 0) slot = (slot + 1) & mask_;
    slots_[slot] = number + 1;
  }
}

}  // namespace common
