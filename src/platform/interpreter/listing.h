// Folder listings as the commands see them: which names a pattern matches,
// in which order entries are listed, and what a PATTERN argument of dir,
// copy, del and for selects. Names the home platform could not hold are
// left out of every listing.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/paths.h"

namespace platform::commands {

/// Listing order: bytes compared with ASCII letters folded to lower case;
/// names equal under folding are ordered by their raw bytes. -1, 0 or 1.
int ListingCompare(std::string_view a, std::string_view b);
inline bool ListingLess(std::string_view a, std::string_view b) { return ListingCompare(a, b) < 0; }

/// True when `text` holds a wildcard ('*' or '?').
bool HasWildcard(std::string_view text);

/// Case-insensitive wildcard match with the home platform's readings:
/// '*' any run of bytes, '?' one byte, "*.*" every name, a trailing '.'
/// only names without a dot ("*."), and "NAME.*" also NAME itself.
bool MatchPattern(std::string_view pattern, std::string_view name);

/// One entry of a folder.
struct Entry {
  std::string name;
  fs::path host;
  bool is_folder = false;  // a folder, or a link to one
  bool is_link = false;
};

/// The entries of a host folder in listing order. Names the home platform
/// could not hold are left out and, when `refused` is given, collected there
/// in listing order.
std::vector<Entry> ReadFolder(const fs::path& folder, std::vector<std::string>* refused = nullptr);

/// What a PATTERN argument selects.
struct Selection {
  enum class Status { kFound, kNoFolder, kOutside };
  Status status = Status::kFound;
  std::string prefix;                // the folder part as written, with its trailing '\'
  fs::path folder;                   // the host folder
  std::string pattern;               // the name part; "*" when the argument names a folder
  std::vector<Entry> entries;        // matching entries, in listing order
  std::vector<std::string> refused;  // matching names not allowed, in order
};

/// Reads `argument` ("htm_in\*.htm", "*.", "htm_in", "page_01.htm", empty
/// for the program's folder) as the home platform does: a name that is an
/// existing folder stands for all its entries.
Selection Select(const Paths& paths, std::string_view argument);

}  // namespace platform::commands
