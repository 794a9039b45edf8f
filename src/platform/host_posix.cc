// The host facts on POSIX hosts: a path names an entry only in its stored
// case, and its bytes are the name's bytes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/host.h"

namespace platform {

std::string StoredName(const fs::path& host) { return host.filename().string(); }

std::optional<EntryId> EntryIdOf(const fs::path& host) {
  struct stat info {};
  if (stat(host.c_str(), &info) != 0) return std::nullopt;
  return EntryId{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

bool IsSoleFile(const fs::path& host) {
  struct stat info {};
  return lstat(host.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_nlink == 1;
}

std::FILE* OpenFile(const fs::path& host, const char* mode) {
  return std::fopen(host.c_str(), mode);
}

namespace {

// What a non-regular entry is, for the message that names it.
const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

}  // namespace

std::optional<ListedEntry> ListedEntryOf(const fs::path& host) {
  struct stat info {};
  if (stat(host.c_str(), &info) != 0) return std::nullopt;
  return ListedEntry{S_ISREG(info.st_mode) ? static_cast<std::uintmax_t>(info.st_size) : 0,
                     info.st_mtime};
}

std::optional<std::tm> LocalTime(std::time_t seconds) {
  std::tm parts{};
  if (localtime_r(&seconds, &parts) == nullptr) return std::nullopt;
  return parts;
}

bool IsReadableFile(const fs::path& host) {
  struct stat info {};
  return stat(host.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         faccessat(AT_FDCWD, host.c_str(), R_OK, AT_EACCESS) == 0;
}

std::FILE* OpenForReading(const fs::path& host, std::string* reason) {
  // The type is checked before opening (opening a device may act on it),
  // and again on what was opened, with O_NONBLOCK: an entry swapped for a
  // FIFO in between is refused at once instead of waiting for a writer.
  struct stat info {};
  if (stat(host.c_str(), &info) != 0) {
    *reason = std::strerror(errno);
    return nullptr;
  }
  if (!S_ISREG(info.st_mode)) {
    *reason = KindOf(info.st_mode);
    return nullptr;
  }
  int fd = open(host.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    *reason = std::strerror(errno);
    return nullptr;
  }
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    *reason = KindOf(info.st_mode);
    close(fd);
    return nullptr;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  std::FILE* file = fdopen(fd, "rb");
  if (file == nullptr) {
    *reason = std::strerror(errno);
    close(fd);
  }
  return file;
}

}  // namespace platform
