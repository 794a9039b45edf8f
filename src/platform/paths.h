// The one door to the disk: every file the run writes, every folder it
// makes and every entry it removes or renames goes through Paths, which
// checks what stands there (a link is never written through), records
// what the run made, and keeps the name index in step. Where a program
// path leads is its Names' answer (platform/names.h).
#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>
#include <system_error>
#include <unordered_set>
#include <vector>

#include "platform/host.h"
#include "platform/lines.h"
#include "platform/names.h"

namespace platform {

/// How much of an entry Paths::Remove takes.
enum class Removal {
  kEntry,       // a file, a link (never its target) or an empty folder
  kFileOrLink,  // a file or a link; a folder stays
  kTree,        // the entry and, where it is a real folder, all it holds
};

/// A page read and written anew: `in` reads it, `out` writes its new text,
/// over the page itself or into `copy` (see Paths::OpenRewrite).
struct Rewrite {
  LineReader in;
  LineWriter out;
  bool in_place = false;
};

/// The door: the names of the program's folder, and every change to the
/// disk. The acts take host paths the caller resolved inside the folder
/// (ForWrite, ResolveForWrite, ResolveForRemove) and may be called from
/// several threads at once.
class Paths : public Names {
 public:
  using Names::Names;

  /// Opens the file `host` for writing, emptied, or for appending with
  /// `append`. Another name's data is never written: a link, FIFO or
  /// socket standing there is replaced by a new file, a file written
  /// afresh is a new file, and a file appended to that another name
  /// reaches first gets data of its own. A folder stays, and opening it
  /// fails. The file is recorded as made by the run. Raises
  /// common::IoError naming the file when it cannot be opened.
  OpenedFile Create(const fs::path& host, bool append = false);

  /// Opens `file` to be rewritten line by line: a file of at most
  /// `held_whole` bytes is read whole and written over in place; a longer
  /// one is written into `copy`, which the caller then renames over it.
  Rewrite OpenRewrite(const fs::path& file, const fs::path& copy, size_t held_whole);

  /// Makes the folder `host` and every missing folder above it, each
  /// recorded as made; false with `error` set when it cannot (as
  /// std::filesystem::create_directories: false for a folder already
  /// there).
  bool MakeFolder(const fs::path& host, std::error_code& error);

  /// Removes the entry `host`, as much of it as `what` says; a link goes
  /// as a link, its target stays. True when it was removed; false when it
  /// was missing or could not go: then `error`, when given, says why, and
  /// for a tree `failed`, when given, names the entry that could not go.
  bool Remove(const fs::path& host, Removal what = Removal::kEntry,
              std::error_code* error = nullptr, fs::path* failed = nullptr);

  /// Gives the entry `from` the name `to`, in its place; a file standing at
  /// `to` is replaced. False with `error` set when it cannot.
  bool Rename(const fs::path& from, const fs::path& to, std::error_code& error);

  /// Makes `to` another name of the file `from` (both host paths inside the
  /// folder, `from` a regular file, not a link), replacing what `to` held.
  /// Copies inside the folder are made so: no data is written twice. False
  /// when that cannot be done here; the caller then copies the bytes.
  bool Link(const fs::path& from, const fs::path& to);

  /// Removes every entry the run made that is still there, last made first
  /// (files, then their folders once empty); never through a link. Writes
  /// nothing, so it works on a full disk. After a run stopped by a failure.
  void RemoveMade();

 private:
  // Records an entry the run made at `host`, and one that went.
  void Made(const fs::path& host);
  void Gone(const fs::path& host);

  std::mutex made_mutex_;
  // What the run made, each once, in the order made: native names (a
  // path's parts would take several allocations each), listed by pointers
  // to the set's entries, which stay where they are.
  std::unordered_set<fs::path::string_type> made_names_;
  std::vector<const fs::path::string_type*> made_;
};

}  // namespace platform
