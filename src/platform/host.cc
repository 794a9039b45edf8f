// The host's facts that are the same on every host: names made host paths,
// sizes and kinds asked through the standard library.
#include "platform/host.h"

#include <system_error>

namespace platform {

fs::path HostName(std::string_view name) {
  try {
    return fs::path(std::u8string_view(reinterpret_cast<const char8_t*>(name.data()), name.size()));
  } catch (const fs::filesystem_error&) {
    // Bytes that are no UTF-8 cannot name an entry a listing gave; they
    // still make a path (of a missing entry) rather than end the run.
    return fs::path(std::string(name));
  }
}

std::optional<std::uintmax_t> FileSize(const fs::path& host) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(host, error);
  if (error) return std::nullopt;
  return size;
}

fs::file_type EntryType(const fs::path& host) {
  std::error_code error;
  return fs::symlink_status(host, error).type();
}

std::vector<FolderEntry> FolderEntries(const fs::path& host) {
  std::vector<FolderEntry> entries;
  std::error_code error;
  for (fs::directory_iterator it(host, error), end; !error && it != end; it.increment(error)) {
    std::error_code kind_error;
    entries.push_back({it->path(), it->symlink_status(kind_error).type()});
  }
  return entries;
}

bool IsDirectory(const fs::path& host) {
  std::error_code error;
  return fs::is_directory(host, error);
}

bool IsDirectoryEntry(const fs::path& host) {
  std::error_code error;
  return fs::is_directory(fs::symlink_status(host, error));
}

}  // namespace platform
