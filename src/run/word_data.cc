#include "run/word_data.h"

#include <algorithm>
#include <cstring>

#include "common/bytes.h"

namespace runctx {

bool FieldLess(std::string_view a, std::string_view b) {
  const size_t shared = std::min(a.size(), b.size());
  const int order = std::memcmp(a.data(), b.data(), shared);
  if (order != 0) return order < 0;
  if (a.size() == b.size()) return false;
  // The shorter field's closing quote meets the other field's next byte.
  if (a.size() < b.size()) return '"' < static_cast<unsigned char>(b[shared]);
  return static_cast<unsigned char>(a[shared]) < '"';
}

std::string WordData::IdText(uint32_t word) const {
  return "id" + common::ZeroPad(static_cast<long long>(words[word].id), /*width=*/8);
}

}  // namespace runctx
