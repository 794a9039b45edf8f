// The door to the disk: files made for writing, folders made, entries
// removed and renamed, second names given, each recorded as it happens.
#include "platform/paths.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "common/io_error.h"

namespace platform {
namespace {

std::string Reason(int error) { return error == 0 ? "cannot be opened" : std::strerror(error); }

// Removes `host` and, where it is a real folder, all it holds, depth
// first; a link is removed as a link. False with `error` set at the first
// entry that cannot go, with `failed` naming it.
bool RemoveTree(const fs::path& host, fs::path* failed, std::error_code& error) {
  if (fs::is_directory(fs::symlink_status(host, error))) {
    for (fs::directory_iterator it(host, error), end; !error && it != end; it.increment(error)) {
      if (!RemoveTree(it->path(), failed, error)) return false;
    }
  }
  if (!error) fs::remove(host, error);
  if (error) *failed = host;
  return !error;
}

}  // namespace

// A file may be one of several names of the same data (copies inside the
// program's folder are made as links), or a name may be a symbolic link,
// wherever it points. Writing never changes what another name reaches: a
// file written afresh is a new file, a link (or a FIFO, which would block
// the writer) is replaced by a new file, and a file appended to is first
// given data of its own. A folder stays, and opening it then fails and
// names it; a device stays a device.
OpenedFile Paths::Create(const fs::path& host, bool append) {
  std::error_code error;
  const fs::file_status status = fs::symlink_status(host, error);
  const bool replaced = fs::is_symlink(status) || fs::is_fifo(status) || fs::is_socket(status);
  if (!error && (replaced || (!append && fs::is_regular_file(status)))) {
    Remove(host, Removal::kFileOrLink, &error);
  } else if (!error && fs::is_regular_file(status) && !IsSoleFile(host)) {
    // A host that cannot tell whether another name reaches the file gets the
    // copy too (one C runtime counts a single name for every file).
    fs::path own = host;
    own += ".~own";
    fs::copy_file(host, own, fs::copy_options::overwrite_existing, error);
    if (!error) fs::rename(own, host, error);
    // A copy cut short (a full disk) is never left beside the file.
    if (error) fs::remove(own, error);
  }
  std::FILE* file = OpenFile(host, append ? "ab" : "wb");
  if (file == nullptr) throw common::IoError(host.string(), Reason(errno));
  Made(host);
  return {file, host.string()};
}

Rewrite Paths::OpenRewrite(const fs::path& file, const fs::path& copy, size_t held_whole) {
  std::error_code error;
  const uintmax_t size = fs::file_size(file, error);
  const bool small = !error && size < held_whole;
  Rewrite rewrite{small ? LineReader(file, size + 1) : LineReader(file), LineWriter()};
  // Only a file of its own is written over: another name would see it
  // change. Written over, no file is made and none removed.
  if (small && IsSoleFile(file) && rewrite.in.ReadWhole()) {
    std::FILE* over = OpenFile(file, "r+b");
    if (over == nullptr) throw common::IoError(file.string(), Reason(errno));
    rewrite.out = LineWriter::Over({over, file.string()}, file, size);
    rewrite.in_place = true;
  } else {
    rewrite.out = LineWriter(Create(copy));
  }
  return rewrite;
}

bool Paths::MakeFolder(const fs::path& host, std::error_code& error) {
  // The folders that do not exist yet, deepest first.
  std::vector<fs::path> missing;
  for (fs::path level = host; !fs::exists(fs::symlink_status(level, error));
       level = level.parent_path()) {
    missing.push_back(level);
    if (level == level.parent_path()) break;
  }
  if (!fs::create_directories(host, error)) return false;
  for (auto level = missing.rbegin(); level != missing.rend(); ++level) Made(*level);
  return true;
}

bool Paths::Remove(const fs::path& host, Removal what, std::error_code* error, fs::path* failed) {
  std::error_code own_error;
  std::error_code& reason = error != nullptr ? *error : own_error;
  if (what == Removal::kTree) {
    fs::path own_failed;
    const bool removed = RemoveTree(host, failed != nullptr ? failed : &own_failed, reason);
    ForgetIndexes();  // names below the entry may be gone too
    return removed;
  }
  if (what == Removal::kFileOrLink) {
    const fs::file_type type = fs::symlink_status(host, reason).type();
    if (type == fs::file_type::directory || type == fs::file_type::not_found ||
        type == fs::file_type::none) {
      return false;
    }
  }
  if (!fs::remove(host, reason)) return false;
  Gone(host);
  return true;
}

bool Paths::Rename(const fs::path& from, const fs::path& to, std::error_code& error) {
  // Renamed onto a file, the file system may write the renamed file out
  // at once (so that a crash cannot leave the name empty); these are work
  // files, so the old one goes first and the new one's data is written
  // back in the system's own time. A name that reaches `from` itself (the
  // same name in another case, on a host that ignores case) stays.
  if (fs::is_regular_file(fs::symlink_status(to, error)) && !fs::equivalent(from, to, error)) {
    Remove(to);
  }
  fs::rename(from, to, error);
  if (error) return false;
  Gone(from);
  Made(to);
  return true;
}

bool Paths::Link(const fs::path& from, const fs::path& to) {
  std::error_code error;
  // `from` is no link: where its folder is, it is.
  if (!fs::is_regular_file(fs::symlink_status(from, error)) || !IsInside(from.parent_path())) {
    return false;
  }
  // What stands at `to` is replaced, never written through: the rename
  // below takes a link's place and leaves its target alone. A folder or a
  // device is left to the caller.
  fs::file_status target = fs::symlink_status(to, error);
  if (fs::is_directory(target) || fs::is_character_file(target) || fs::is_block_file(target)) {
    return false;
  }
  // Where nothing stands, the link is made under the name itself; making
  // it fails, and changes nothing, if something came there since.
  if (target.type() == fs::file_type::not_found) {
    fs::create_hard_link(from, to, error);
    if (!error) {
      Made(to);
      return true;
    }
  }
  fs::path staged = to;
  staged += ".~link";
  fs::create_hard_link(from, staged, error);
  if (error == std::errc::file_exists) {
    // Left by a run that stopped between the two steps below.
    fs::remove(staged, error);
    fs::create_hard_link(from, staged, error);
  }
  if (error) return false;
  fs::rename(staged, to, error);
  if (error) {
    fs::remove(staged, error);
    return false;
  }
  Made(to);
  return true;
}

void Paths::RemoveMade() {
  std::lock_guard<std::mutex> lock(made_mutex_);
  for (auto name = made_.rbegin(); name != made_.rend(); ++name) {
    const fs::path made(**name);
    std::error_code error;
    fs::file_status status = fs::symlink_status(made, error);
    if (error || status.type() == fs::file_type::not_found) continue;
    // A folder the run made may since have been replaced by a link: its
    // entries are then reached through the link and stay.
    if (made == root() || !ReachedWithoutLinks(made.parent_path())) continue;
    // A folder goes only once empty: what the run did not make stays.
    fs::remove(made, error);
  }
  made_.clear();
  made_names_.clear();
  ForgetIndexes();
}

void Paths::Made(const fs::path& host) {
  {
    std::lock_guard<std::mutex> lock(made_mutex_);
    auto [made, added] = made_names_.insert(host.native());
    if (added) made_.push_back(&*made);
  }
  IndexMade(host);
}

void Paths::Gone(const fs::path& host) { IndexRemoved(host); }

}  // namespace platform
