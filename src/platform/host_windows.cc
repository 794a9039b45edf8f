// The host facts on Windows: the file system finds an entry whatever the case of the
// name used, so the stored name is asked of the folder itself; files are
// opened by their wide names (a narrow name would be read in the ANSI code
// page, not as the UTF-8 the program holds).
#include <windows.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/host.h"

namespace platform {

std::string StoredName(const fs::path& host) {
  fs::path name = host.filename();
  // A wildcard would make the folder search match other entries.
  if (name.native().find_first_of(L"*?") != std::wstring::npos) return name.string();
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(host.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return name.string();
  FindClose(search);
  return fs::path(found.cFileName).string();
}

// Asking would open the folder; the checks follow the links of the whole
// path instead.
std::optional<EntryId> EntryIdOf(const fs::path&) { return std::nullopt; }

// The C runtime counts one name for every file: a file's other names are
// not known, so none is taken to be the only one.
bool IsSoleFile(const fs::path&) { return false; }

std::FILE* OpenFile(const fs::path& host, const char* mode) {
  std::wstring wide_mode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(host.c_str(), wide_mode.c_str());
}

std::FILE* OpenForReading(const fs::path& host, std::string* reason) {
  // Folders and devices are refused before opening; the home platform has
  // no FIFOs among the entries of a folder.
  std::error_code error;
  fs::file_status status = fs::status(host, error);
  if (error) {
    *reason = error.message();
    return nullptr;
  }
  if (!fs::is_regular_file(status)) {
    *reason = fs::is_directory(status) ? "a folder" : "not a regular file";
    return nullptr;
  }
  std::FILE* file = OpenFile(host, "rb");
  if (file == nullptr) *reason = std::strerror(errno);
  return file;
}

bool IsReadableFile(const fs::path& host) {
  std::string reason;
  std::FILE* file = OpenForReading(host, &reason);
  if (file != nullptr) std::fclose(file);
  return file != nullptr;
}

std::optional<ListedEntry> ListedEntryOf(const fs::path& host) {
  std::error_code error;
  fs::file_time_type stamp = fs::last_write_time(host, error);
  if (error) return std::nullopt;
  auto system = std::chrono::time_point_cast<std::chrono::system_clock::duration>(
      stamp - fs::file_time_type::clock::now() + std::chrono::system_clock::now());
  std::uintmax_t size = fs::file_size(host, error);
  return ListedEntry{error ? 0 : size, std::chrono::system_clock::to_time_t(system)};
}

std::optional<std::tm> LocalTime(std::time_t seconds) {
  const std::tm* parts = std::localtime(&seconds);
  if (parts == nullptr) return std::nullopt;
  return *parts;
}

}  // namespace platform
