// The program's folder and the paths inside it. Paths in the program and
// in command lines use '\' and are relative to the program's folder; this
// layer maps them to the host, finds existing names whatever their case
// (as the home platform does) and keeps every change inside the folder.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace platform {

namespace fs = std::filesystem;

/// A path on the host, as the platform functions take it. Code outside
/// platform/ holds it without looking inside.
using HostPath = fs::path;

/// True when the home platform could hold a directory entry of this name:
/// none of \ / : * ? " < > | and no byte below 32, and no device name
/// (con, prn, aux, nul, com1-com9, lpt1-lpt9, conin$, conout$, any case,
/// any extension).
/// Other entries are invisible to every listing and pattern.
bool IsAllowedName(std::string_view name);

/// A name as messages show it: control bytes (below 32, and 127) written
/// as \xNN, so a name can never move the cursor or colour the console.
std::string ShownName(std::string_view name);

/// ASCII case-folded copy, the key under which names are matched.
std::string FoldName(std::string_view name);

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

class Paths {
 public:
  /// `root` is the program's folder; it is made absolute and canonical.
  explicit Paths(const fs::path& root);

  const fs::path& root() const { return root_; }

  /// Maps a program path ('\' or '/' separated; relative to the program's
  /// folder, or absolute and inside it) to a host path. Existing entries are
  /// found whatever the case of the name used; missing ones take the name as
  /// written. nullopt when the path leads outside the folder ("..", another
  /// absolute path).
  std::optional<fs::path> Resolve(std::string_view path) const;

  /// As Resolve, for writing the entry: refuses a path whose folders are
  /// not all real folders (a linked folder is never written through,
  /// wherever it points). The entry itself may be a link: writers replace
  /// it, never write through it.
  std::optional<fs::path> ResolveForWrite(std::string_view path) const;

  /// As ResolveForWrite, for removing or renaming the entry itself: a link
  /// goes as a link and its target stays.
  std::optional<fs::path> ResolveForRemove(std::string_view path) const;

  /// True when `host` (a host path inside the folder) and every folder
  /// leading to it from the program's folder are real entries, no links.
  /// Deleters act only on such folders.
  bool ReachedWithoutLinks(const fs::path& host) const;

  /// True when the program path names a symbolic link.
  bool IsLink(std::string_view path) const;
  /// True when the program path names a real folder, reached without links.
  bool IsFolder(std::string_view path) const;

  /// Host path for reading a file named by the program; an empty path (which
  /// reads as a missing file) when it lies outside the folder.
  fs::path ForRead(std::string_view path) const;
  /// Host path for writing a file named by the program. Raises
  /// common::IoError("Access is denied.") when it lies outside the folder.
  fs::path ForWrite(std::string_view path);

  /// True when `host` (an absolute host path) lies inside the folder once
  /// every link is followed.
  bool IsInside(const fs::path& host) const;

  /// The native form of a host path, as "dir /b /s" prints it.
  static std::string Native(const fs::path& host);

  /// A path a failure names, in the program's form: relative to the
  /// program's folder, '\' separated (`htm_out\page_01.htm`), whether it
  /// came as a host path or in that form already. A path outside the folder
  /// shows its last name alone: the error screen never tells where the
  /// folder lies on the host.
  std::string ProgramForm(std::string_view path) const;

  /// Makes `to` another name of the file `from` (both host paths inside the
  /// folder, `from` a regular file, not a link), replacing what `to` held.
  /// Copies inside the folder are made so: no data is written twice. False
  /// when that cannot be done here; the caller then copies the bytes.
  bool LinkFile(const fs::path& from, const fs::path& to);

  /// Deletes the file named by the program; a folder, a missing file and a
  /// path outside the program's folder are left alone without a message.
  void DeleteFile(std::string_view path);
  /// Removes the entry named by the program (a file, a link or an empty
  /// folder), whatever it is; nothing when it is missing or outside.
  void RemoveEntry(std::string_view path);

  /// Removes every entry of the program path `folder` that is no folder
  /// (a link goes as a link), without a message; a folder in it stays with
  /// all it holds, and an entry that cannot go stays. Acts only on a real
  /// folder reached without links. The number of entries removed.
  size_t RemoveFilesIn(std::string_view folder);
  /// True when the program path names a real folder, reached without
  /// links, that holds nothing.
  bool IsEmptyFolder(std::string_view path) const;

  /// Makes the program path `folder` fit to be a work folder, whatever an
  /// earlier run or a user left there: an entry of that name that is no
  /// real folder (a file, FIFO or link) is removed; in a real folder, every
  /// entry that is no regular file (a folder with all it holds, a FIFO, a
  /// link) is removed. Links go as links, never through them. Raises
  /// common::IoError naming the entry that cannot be removed.
  void ClearWorkFolder(std::string_view folder);

  // The members below change the disk at host paths the caller resolved
  // inside the folder (ForWrite, ResolveForWrite, ResolveForRemove), and
  // record each change. They may be called from several threads at once.

  /// Makes the work folder `host` when it is missing. A link standing there
  /// is removed first (it is never followed); a file there raises IoError.
  void MakeFolder(const fs::path& host);
  /// Makes the folder `host` and every missing folder above it; false with
  /// `error` set when it cannot (as std::filesystem::create_directories).
  bool MakeFolders(const fs::path& host, std::error_code& error);
  /// Gives the entry `from` the name `to`, in its place; `error` is set
  /// when it cannot.
  void Rename(const fs::path& from, const fs::path& to, std::error_code& error);
  /// Gives the file `from` the name `to`, in its place (both in one folder
  /// of the program's); raises IoError naming `to` when it cannot.
  void ReplaceFile(const fs::path& from, const fs::path& to);
  /// Removes the entry `host` (a file, a link, never its target, or an
  /// empty folder). True when it was removed; false when it was missing or
  /// could not be removed (then `error` is set).
  bool Remove(const fs::path& host, std::error_code& error);
  /// Removes the file `host` when it is there; a link is removed, never its
  /// target. Failures are silent (the clean-up removes it later).
  void RemoveFile(const fs::path& host);

  /// Records a file the caller made (or rewrote) at `host` by writing it:
  /// keeps the name index in step and remembers it for RemoveMade.
  void NoteCreated(const fs::path& host);

  /// Removes every entry the run made that is still there, last made first
  /// (files, then their folders once empty); never through a link. Writes
  /// nothing, so it works on a full disk. After a run stopped by a failure.
  void RemoveMade();

 private:
  // The entries of one host folder, by folded name.
  using NameIndex = std::unordered_map<std::string, std::string>;
  // A host path as Walk found it, with what its entries were when asked.
  struct Walked {
    fs::path host;
    // Each folder from the program's folder down to the entry's own folder
    // was asked by its exact name (or was missing) and is no link.
    bool folders_plain = true;
    // The entry itself, not followed; unknown when it was not asked.
    fs::file_type type = fs::file_type::unknown;
    // The entry's type, asked now where Walk did not ask it.
    fs::file_type Type() const;
  };
  // The name `name` has in `folder` whatever its case, as the folder's
  // index holds it; nullopt when the index has no such name.
  std::optional<std::string> IndexedName(const fs::path& folder, const std::string& name) const;
  const NameIndex& IndexOf(const fs::path& folder) const;
  std::optional<Walked> Walk(std::string_view path) const;
  std::optional<Walked> WalkForWrite(std::string_view path) const;
  // The host path of the program path `path` when it names a real folder
  // reached without links; nullopt otherwise.
  std::optional<fs::path> RealFolder(std::string_view path) const;
  // True when the program's folder is still the folder it was when the run
  // began (no link took its place, nor that of a folder above it).
  bool RootUnmoved() const;
  // True when every level of `host` below the program's folder is a real
  // entry, no link, and its names hold no "." nor "..": `host` is then
  // inside wherever the program's folder stands.
  bool LexicallyInsideWithoutLinks(const fs::path& host) const;
  void NoteRemoved(const fs::path& host);

  fs::path root_;
  std::string root_folded_;
  // The program's folder as the host knows it; nullopt when its path is
  // not canonical or the host cannot tell, and every check then follows
  // the links of the whole path.
  std::optional<EntryId> root_id_;
  // Guards the name indexes and the record of what the run made.
  mutable std::mutex mutex_;
  mutable std::unordered_map<std::string, NameIndex> indexes_;
  // What the run made, each once, in the order made: native names (a
  // path's parts would take several allocations each), listed by pointers
  // to the set's entries, which stay where they are.
  std::unordered_set<fs::path::string_type> made_names_;
  std::vector<const fs::path::string_type*> made_;
};

}  // namespace platform
