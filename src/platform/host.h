// What the host says of its entries, asked without changing anything:
// kinds, sizes, times, identities, whether a file may be read, the name an
// entry is stored under; and files opened by their host paths. The door
// that changes the disk is platform/paths.h.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

namespace fs = std::filesystem;

/// A path on the host, as the platform functions take it. Code outside
/// platform/ holds it without looking inside.
using HostPath = fs::path;

/// A file opened for writing by the door (Paths::Create), and the path its
/// failures name; the writer that takes it closes it.
struct OpenedFile {
  std::FILE* file = nullptr;
  std::string path;
};

/// A name or relative path (UTF-8, as the program holds every name) as a
/// host path. Hosts with wide paths decode the UTF-8; path::string() gives
/// UTF-8 back, so names make the round trip unchanged on every host.
fs::path HostName(std::string_view name);

/// The name of the existing entry `host` as its folder stores it. On a host
/// whose file names ignore case, `host` may name the entry in another case.
std::string StoredName(const fs::path& host);

/// std::fopen for a host path, whatever characters its names hold (hosts
/// with wide paths open it by its wide name). nullptr when it cannot be
/// opened, with errno set.
std::FILE* OpenFile(const fs::path& host, const char* mode);

/// Opens a regular file for reading ("rb"), following links, without ever
/// blocking: a folder, FIFO, device or socket is refused before it is
/// opened. nullptr with `reason` set ("a FIFO", "Permission denied", ...)
/// when it cannot be read.
std::FILE* OpenForReading(const fs::path& host, std::string* reason);

/// True when OpenForReading would open `host`: a regular file (links
/// followed) that the process may read. Asks without opening it.
bool IsReadableFile(const fs::path& host);

/// The size of the file `host` (links followed); nullopt when it is
/// missing or cannot be asked.
std::optional<std::uintmax_t> FileSize(const fs::path& host);
/// What a long folder listing shows of an entry, links followed: its size
/// (0 where it is no regular file) and when it was last written, in
/// seconds since 1970. Asked in one question; nullopt when it cannot be.
struct ListedEntry {
  std::uintmax_t size = 0;
  std::time_t written = 0;
};
std::optional<ListedEntry> ListedEntryOf(const fs::path& host);
/// `seconds` as local calendar time; nullopt where the calendar cannot
/// show it. Asks the host's time zone once a run, not once a call.
std::optional<std::tm> LocalTime(std::time_t seconds);

/// What `host` itself is, links not followed; not_found when nothing
/// stands there.
fs::file_type EntryType(const fs::path& host);
/// An entry of a folder and what it is, links not followed.
struct FolderEntry {
  fs::path host;
  fs::file_type type = fs::file_type::unknown;
};
/// The entries of the folder `host` (its listing tells each one's kind;
/// the host is asked only where it does not); none when it cannot be read.
std::vector<FolderEntry> FolderEntries(const fs::path& host);

/// True when `host` is a folder, or a link to one.
bool IsDirectory(const fs::path& host);
/// True when `host` itself is a folder (a link to one is not).
bool IsDirectoryEntry(const fs::path& host);

/// Which entry of the host a path reaches, links followed: its device and
/// its number there, unique while the entry exists.
struct EntryId {
  std::uint64_t device = 0;
  std::uint64_t number = 0;
  bool operator==(const EntryId&) const = default;
};
/// The EntryId of what `host` reaches; nullopt when it cannot be asked, and
/// on hosts where asking costs more than following the links of a path.
std::optional<EntryId> EntryIdOf(const fs::path& host);

/// True when `host` is a regular file that no other name reaches, so that
/// writing over it changes nothing else; false when that cannot be told.
bool IsSoleFile(const fs::path& host);

}  // namespace platform
