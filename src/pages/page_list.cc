#include "pages/page_list.h"

#include <utility>

#include "common/bytes.h"

namespace pages {

PageList::PageList(std::vector<std::string> names) : names_(std::move(names)) {
  for (size_t at = 0; at < names_.size(); ++at) position_.emplace(common::Lower(names_[at]), at);
}

Neighbours PageList::Find(std::string_view page) const {
  Neighbours found;
  auto hit = position_.find(common::Lower(page));
  if (hit == position_.end()) return found;
  size_t at = hit->second;
  if (at > 0) {
    found.before = names_[at - 1];
    found.has_before = true;
  }
  if (at + 1 < names_.size()) {
    found.next = names_[at + 1];
    found.has_next = true;
  }
  return found;
}

}  // namespace pages
