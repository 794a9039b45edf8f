#include "pages/page_list.h"

#include "common/bytes.h"
#include "driver/conventions.h"

namespace pages {

PageList PageList::Load(driver::RunContext& run) {
  PageList list;
  common::LineReader reader = driver::OpenListing(run, "group_page_all_sort.txt");
  std::string_view line;
  while (reader.Next(&line)) {
    list.position_.emplace(common::Lower(line), list.names_.size());
    list.names_.emplace_back(line);
  }
  return list;
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
