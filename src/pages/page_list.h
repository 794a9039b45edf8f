// The list of pages that hold words, in page name order: the contents page
// lists it and every annotated page takes its Before and Next neighbours
// from it.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pages {

/// A page's neighbours in the page list; empty views when it has none.
struct Neighbours {
  std::string_view before;
  std::string_view next;
  bool has_before = false;
  bool has_next = false;
};

class PageList {
 public:
  PageList() = default;
  explicit PageList(std::vector<std::string> names);

  /// The page names in file order, as they stand in the file.
  const std::vector<std::string>& names() const { return names_; }

  /// The lines before and after the first line equal to `page`, compared
  /// in lower case. A page that is not listed has no neighbours.
  Neighbours Find(std::string_view page) const;

 private:
  std::vector<std::string> names_;
  std::unordered_map<std::string, size_t> position_;  // lower-case name -> first line
};

}  // namespace pages
