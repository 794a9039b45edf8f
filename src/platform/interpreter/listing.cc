#include "platform/interpreter/listing.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <system_error>

#include "common/bytes.h"

namespace platform::commands {
namespace {

unsigned char Folded(char c) { return static_cast<unsigned char>(common::LowerByte(c)); }

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// '*' and '?' against the whole name, letters folded; the usual greedy
// match that falls back to the last star.
bool Glob(std::string_view pattern, std::string_view name) {
  size_t p = 0, n = 0;
  size_t star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || Folded(pattern[p]) == Folded(name[n]))) {
      ++p;
      ++n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool HasDot(std::string_view name) { return name.find('.') != std::string_view::npos; }

// A name without wildcards: the entry itself, found through the program's
// name index, without reading its whole folder (pages are copied one by one).
Selection SelectOne(std::string_view argument, const fs::path& host) {
  Selection selection;
  size_t cut = argument.find_last_of("\\/");
  size_t name_start = cut == std::string_view::npos ? 0 : cut + 1;
  selection.prefix = std::string(argument.substr(0, name_start));
  selection.pattern = std::string(argument.substr(name_start));
  selection.folder = host.parent_path();
  std::error_code error;
  if (!fs::is_directory(selection.folder, error)) {
    selection.status = Selection::Status::kNoFolder;
    return selection;
  }
  fs::file_status status = fs::symlink_status(host, error);
  if (error || status.type() == fs::file_type::not_found) return selection;
  std::string name = host.filename().string();
  if (!IsAllowedName(name)) {
    selection.refused.push_back(std::move(name));
    return selection;
  }
  Entry entry;
  entry.name = std::move(name);
  entry.host = host;
  entry.is_link = fs::is_symlink(status);
  entry.is_folder = entry.is_link ? fs::is_directory(host, error) : fs::is_directory(status);
  selection.entries.push_back(std::move(entry));
  return selection;
}

}  // namespace

int ListingCompare(std::string_view a, std::string_view b) {
  const size_t common_length = std::min(a.size(), b.size());
  size_t i = 0;
  while (i < common_length) {
    // Skip the bytes the two share exactly, eight at a time where possible:
    // sorted records share long prefixes, and only a difference needs folding.
    while (i + 8 <= common_length) {
      std::uint64_t x, y;
      std::memcpy(&x, a.data() + i, 8);
      std::memcpy(&y, b.data() + i, 8);
      if (x != y) break;
      i += 8;
    }
    while (i < common_length && a[i] == b[i]) ++i;
    if (i == common_length) break;
    unsigned char x = Folded(a[i]), y = Folded(b[i]);
    if (x != y) return x < y ? -1 : 1;
    ++i;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  int raw = a.compare(b);
  return (raw > 0) - (raw < 0);
}

bool HasWildcard(std::string_view text) {
  return text.find_first_of("*?") != std::string_view::npos;
}

bool MatchPattern(std::string_view pattern, std::string_view name) {
  if (pattern == "*" || pattern == "*.*") return true;
  if (pattern.size() > 1 && pattern.back() == '.' && pattern != "..") {
    return !HasDot(name) && Glob(pattern.substr(0, pattern.size() - 1), name);
  }
  if (Glob(pattern, name)) return true;
  if (pattern.size() > 2 && pattern.substr(pattern.size() - 2) == ".*" && !HasDot(name)) {
    return Glob(pattern.substr(0, pattern.size() - 2), name);
  }
  return false;
}

std::vector<Entry> ReadFolder(const fs::path& folder, std::vector<std::string>* refused) {
  std::vector<Entry> entries;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::string name = it->path().filename().string();
    if (!IsAllowedName(name)) {
      if (refused != nullptr) refused->push_back(std::move(name));
      continue;
    }
    Entry entry;
    entry.name = std::move(name);
    entry.host = it->path();
    std::error_code status_error;
    entry.is_link = it->is_symlink(status_error);
    entry.is_folder = it->is_directory(status_error);
    entries.push_back(std::move(entry));
  }
  std::sort(entries.begin(), entries.end(),
            [](const Entry& a, const Entry& b) { return ListingLess(a.name, b.name); });
  if (refused != nullptr) std::sort(refused->begin(), refused->end(), ListingLess);
  return entries;
}

Selection Select(const Paths& paths, std::string_view argument) {
  Selection selection;
  std::error_code error;
  if (!HasWildcard(argument)) {
    std::optional<fs::path> whole = paths.Resolve(argument);
    if (!whole) {
      selection.status = Selection::Status::kOutside;
      return selection;
    }
    if (fs::is_directory(*whole, error)) {
      selection.prefix = std::string(argument);
      if (!selection.prefix.empty() && !IsSeparator(selection.prefix.back()))
        selection.prefix += '\\';
      selection.folder = *whole;
      selection.pattern = "*";
    } else {
      return SelectOne(argument, *whole);
    }
  }
  if (selection.folder.empty()) {
    size_t cut = argument.find_last_of("\\/");
    size_t name_start = cut == std::string_view::npos ? 0 : cut + 1;
    selection.prefix = std::string(argument.substr(0, name_start));
    selection.pattern = std::string(argument.substr(name_start));
    if (selection.pattern.empty()) selection.pattern = "*";
    std::optional<fs::path> folder = paths.Resolve(selection.prefix);
    if (!folder) {
      selection.status = Selection::Status::kOutside;
      return selection;
    }
    selection.folder = *folder;
    if (!fs::is_directory(selection.folder, error)) {
      selection.status = Selection::Status::kNoFolder;
      return selection;
    }
  }
  std::vector<std::string> refused;
  for (Entry& entry : ReadFolder(selection.folder, &refused)) {
    if (MatchPattern(selection.pattern, entry.name)) selection.entries.push_back(std::move(entry));
  }
  for (std::string& name : refused) {
    if (MatchPattern(selection.pattern, name)) selection.refused.push_back(std::move(name));
  }
  return selection;
}

}  // namespace platform::commands
