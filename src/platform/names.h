// The program's folder and the names inside it. Paths in the program and
// in command lines use '\' and are relative to the program's folder; this
// layer maps them to the host, finds existing names whatever their case
// (as the home platform does) and tells which paths stay inside the folder.
// It changes nothing: the door that does is platform/paths.h.
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/host.h"

namespace platform {

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

/// Where the program's paths lead on the host, and whether a change there
/// stays inside the program's folder. Existing names are found through an
/// index of each folder's names by folded name, kept in step with what the
/// door makes and removes. Its questions may be asked from several threads
/// at once.
class Names {
 public:
  /// `root` is the program's folder; it is made absolute and canonical.
  explicit Names(const fs::path& root);

  const fs::path& root() const { return root_; }

  /// Maps a program path ('\' or '/' separated; relative to the program's
  /// folder, or absolute and inside it) to a host path. Existing entries are
  /// found whatever the case of the name used; missing ones take the name as
  /// written. nullopt when the path leads outside the folder ("..", another
  /// absolute path).
  std::optional<fs::path> Resolve(std::string_view path) const;

  /// As Resolve, for writing the entry: refuses a path whose folders are
  /// not all real folders (a linked folder is never written through,
  /// wherever it points). The entry itself may be a link: the door replaces
  /// it, never writes through it.
  std::optional<fs::path> ResolveForWrite(std::string_view path) const;

  /// As ResolveForWrite, for removing or renaming the entry itself: a link
  /// goes as a link and its target stays.
  std::optional<fs::path> ResolveForRemove(std::string_view path) const;

  /// Host path for reading a file named by the program; an empty path (which
  /// reads as a missing file) when it lies outside the folder.
  fs::path ForRead(std::string_view path) const;
  /// Host path for writing a file named by the program. Raises
  /// common::IoError("Access is denied.") when it lies outside the folder.
  fs::path ForWrite(std::string_view path) const;

  /// True when `host` (a host path inside the folder) and every folder
  /// leading to it from the program's folder are real entries, no links.
  /// Deleters act only on such folders.
  bool ReachedWithoutLinks(const fs::path& host) const;
  /// True when `host` (an absolute host path) lies inside the folder once
  /// every link is followed.
  bool IsInside(const fs::path& host) const;

  /// True when the program path names a symbolic link.
  bool IsLink(std::string_view path) const;
  /// True when the program path names a real folder, reached without links.
  bool IsFolder(std::string_view path) const;
  /// True when the program path names a real folder, reached without
  /// links, that holds nothing.
  bool IsEmptyFolder(std::string_view path) const;

  /// The native form of a host path, as "dir /b /s" prints it.
  static std::string Native(const fs::path& host);

  /// A path a failure names, in the program's form: relative to the
  /// program's folder, '\' separated (`htm_out\page_01.htm`), whether it
  /// came as a host path or in that form already. A path outside the folder
  /// shows its last name alone: the error screen never tells where the
  /// folder lies on the host.
  std::string ProgramForm(std::string_view path) const;

 protected:
  // Keep the name index in step with an entry made or removed at `host`.
  void IndexMade(const fs::path& host);
  void IndexRemoved(const fs::path& host);
  // Forgets every folder's names (after a tree went).
  void ForgetIndexes();

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

  fs::path root_;
  std::string root_folded_;
  // The program's folder as the host knows it; nullopt when its path is
  // not canonical or the host cannot tell, and every check then follows
  // the links of the whole path.
  std::optional<EntryId> root_id_;
  mutable std::mutex index_mutex_;
  mutable std::unordered_map<std::string, NameIndex> indexes_;
};

}  // namespace platform
