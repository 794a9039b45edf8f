#include "platform/paths.h"

#include <algorithm>
#include <system_error>
#include <vector>

#include "common/bytes.h"
#include "common/io_error.h"
#include "platform/lines.h"

namespace platform {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Splits a relative program path into its names; ".." steps back and fails
// when it would leave the top. Empty names and "." are dropped.
std::optional<std::vector<std::string>> SplitRelative(std::string_view path) {
  std::vector<std::string> names;
  size_t i = 0;
  while (i <= path.size()) {
    size_t end = i;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    std::string_view name = path.substr(i, end - i);
    if (name == "..") {
      if (names.empty()) return std::nullopt;
      names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.emplace_back(name);
    }
    i = end + 1;
  }
  return names;
}

bool StartsWithFolder(const std::string& path, const std::string& folder) {
  if (path.size() < folder.size() || path.compare(0, folder.size(), folder) != 0) return false;
  return path.size() == folder.size() || IsSeparator(path[folder.size()]) ||
         IsSeparator(folder.back());
}

// The home platform's device names: "con.txt" or "NUL.tar.gz" name the
// device, not a file, whatever the extension (blanks before it ignored).
bool IsDeviceName(std::string_view name) {
  std::string base = common::Lower(name.substr(0, name.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  if (base == "con" || base == "prn" || base == "aux" || base == "nul" || base == "conin$" ||
      base == "conout$") {
    return true;
  }
  return base.size() == 4 && (base.starts_with("com") || base.starts_with("lpt")) &&
         base[3] >= '1' && base[3] <= '9';
}

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

bool IsAllowedName(std::string_view name) {
  for (unsigned char c : name) {
    if (c < 32) return false;
    switch (c) {
      case '\\': case '/': case ':': case '*': case '?':
      case '"': case '<': case '>': case '|':
        return false;
      default:
        break;
    }
  }
  return !name.empty() && !IsDeviceName(name);
}

std::string ShownName(std::string_view name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string shown;
  shown.reserve(name.size());
  for (unsigned char c : name) {
    if (c < 32 || c == 127) {
      shown += "\\x";
      shown.push_back(kHex[c >> 4]);
      shown.push_back(kHex[c & 15]);
    } else {
      shown.push_back(static_cast<char>(c));
    }
  }
  return shown;
}

std::string FoldName(std::string_view name) { return common::Lower(name); }

fs::path HostName(std::string_view name) {
  try {
    return fs::path(std::u8string_view(reinterpret_cast<const char8_t*>(name.data()), name.size()));
  } catch (const fs::filesystem_error&) {
    // Bytes that are no UTF-8 cannot name an entry a listing gave; they
    // still make a path (of a missing entry) rather than end the run.
    return fs::path(std::string(name));
  }
}

Paths::Paths(const fs::path& root) {
  std::error_code error;
  root_ = fs::canonical(fs::absolute(root), error);
  if (error) root_ = fs::absolute(root).lexically_normal();
  root_.make_preferred();
  root_folded_ = FoldName(root_.string());
  if (!error) root_id_ = EntryIdOf(root_);
}

const Paths::NameIndex& Paths::IndexOf(const fs::path& folder) const {
  auto [it, inserted] = indexes_.try_emplace(folder.string());
  if (inserted) {
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
      std::string name = entry->path().filename().string();
      // Of two names equal but for case (a host can hold both), a lookup
      // by a third spelling finds the one listed first: raw bytes decide.
      auto [hit, added] = it->second.try_emplace(FoldName(name), name);
      if (!added && name < hit->second) hit->second = std::move(name);
    }
  }
  return it->second;
}

std::optional<std::string> Paths::IndexedName(const fs::path& folder,
                                              const std::string& name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const NameIndex& index = IndexOf(folder);
  auto hit = index.find(FoldName(name));
  if (hit == index.end()) return std::nullopt;
  return hit->second;
}

std::optional<Paths::Walked> Paths::Walk(std::string_view path) const {
  std::string_view relative = path;
  fs::path as_written{std::string(path)};
  if (as_written.is_absolute()) {
    std::string folded = FoldName(path);
    if (!StartsWithFolder(folded, root_folded_)) return std::nullopt;
    relative = path.substr(root_folded_.size());
  }
  std::optional<std::vector<std::string>> names = SplitRelative(relative);
  if (!names) return std::nullopt;
  Walked walked{root_};
  fs::path& host = walked.host;
  bool exists = true;
  bool first = true;
  for (const std::string& name : *names) {
    fs::path host_name = HostName(name);
    // A drive ("C:") would replace the folder walked so far.
    if (host_name.has_root_name()) return std::nullopt;
    // The entry walked so far becomes a folder on the way.
    if (!first &&
        (walked.type == fs::file_type::symlink || walked.type == fs::file_type::unknown)) {
      walked.folders_plain = false;
    }
    first = false;
    walked.type = fs::file_type::not_found;
    if (exists) {
      std::error_code error;
      fs::path exact = host / host_name;
      fs::file_status status = fs::symlink_status(exact, error);
      if (status.type() != fs::file_type::not_found) {
        if (!error) {
          // A host that ignores case finds the entry under any case; the
          // path carries the name as stored, as listings show it.
          host /= HostName(StoredName(exact));
          walked.type = status.type();
          continue;
        }
        walked.type = fs::file_type::unknown;
      }
      if (std::optional<std::string> indexed = IndexedName(host, name)) {
        host /= HostName(*indexed);
        walked.type = fs::file_type::unknown;
        continue;
      }
      exists = false;
    }
    host /= host_name;
  }
  return walked;
}

std::optional<fs::path> Paths::Resolve(std::string_view path) const {
  std::optional<Walked> walked = Walk(path);
  if (!walked) return std::nullopt;
  return std::move(walked->host);
}

bool Paths::RootUnmoved() const {
  if (!root_id_) return false;
  std::optional<EntryId> now = EntryIdOf(root_);
  return now && *now == *root_id_;
}

bool Paths::LexicallyInsideWithoutLinks(const fs::path& host) const {
  auto name = host.begin();
  for (const fs::path& root_name : root_) {
    if (name == host.end() || *name != root_name) return false;
    ++name;
  }
  fs::path level = root_;
  for (; name != host.end(); ++name) {
    if (name->empty() || *name == "." || *name == "..") return false;
    level /= *name;
    std::error_code error;
    fs::file_status status = fs::symlink_status(level, error);
    if (fs::is_symlink(status) || (error && status.type() != fs::file_type::not_found)) {
      return false;
    }
  }
  return true;
}

bool Paths::IsInside(const fs::path& host) const {
  // Without a link on the way, the path itself says where it leads.
  if (RootUnmoved() && LexicallyInsideWithoutLinks(host)) return true;
  std::error_code error;
  fs::path real = fs::weakly_canonical(host, error);
  if (error) return false;
  real.make_preferred();
  return StartsWithFolder(real.string(), root_.string());
}

bool Paths::ReachedWithoutLinks(const fs::path& host) const {
  fs::path relative = host.lexically_relative(root_);
  if (relative.empty() || *relative.begin() == "..") return false;
  fs::path level = root_;
  for (const fs::path& name : relative) {
    if (name == ".") continue;
    level /= name;
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(level, error))) return false;
  }
  return true;
}

std::optional<Paths::Walked> Paths::WalkForWrite(std::string_view path) const {
  std::optional<Walked> walked = Walk(path);
  if (!walked || walked->host == root_) return walked;
  // Walk asked every folder on the way: none a link, in the program's
  // folder where it stood, and the entry's folder is inside.
  if (walked->folders_plain && RootUnmoved()) return walked;
  fs::path folder = walked->host.parent_path();
  if (!ReachedWithoutLinks(folder) || !IsInside(folder)) return std::nullopt;
  return walked;
}

std::optional<fs::path> Paths::ResolveForWrite(std::string_view path) const {
  std::optional<Walked> walked = WalkForWrite(path);
  if (!walked) return std::nullopt;
  return std::move(walked->host);
}

std::optional<fs::path> Paths::ResolveForRemove(std::string_view path) const {
  std::optional<fs::path> host = ResolveForWrite(path);
  if (!host || *host == root_) return std::nullopt;
  return host;
}

fs::file_type Paths::Walked::Type() const {
  if (type != fs::file_type::unknown) return type;
  std::error_code error;
  return fs::symlink_status(host, error).type();
}

bool Paths::IsLink(std::string_view path) const {
  std::optional<Walked> walked = Walk(path);
  return walked && walked->host != root_ && walked->Type() == fs::file_type::symlink;
}

std::optional<fs::path> Paths::RealFolder(std::string_view path) const {
  std::optional<Walked> walked = Walk(path);
  if (!walked || walked->Type() != fs::file_type::directory) return std::nullopt;
  if (!walked->folders_plain && walked->host != root_ && !ReachedWithoutLinks(walked->host)) {
    return std::nullopt;
  }
  return std::move(walked->host);
}

bool Paths::IsFolder(std::string_view path) const { return RealFolder(path).has_value(); }

fs::path Paths::ForRead(std::string_view path) const {
  std::optional<fs::path> host = Resolve(path);
  return host ? *host : fs::path();
}

fs::path Paths::ForWrite(std::string_view path) {
  std::optional<Walked> walked = WalkForWrite(path);
  if (!walked) throw common::IoError(std::string(path), "Access is denied.");
  // A folder standing there is none of the run's making: the writer will
  // fail on it, and the clean-up after that failure must leave it.
  if (walked->Type() != fs::file_type::directory) NoteCreated(walked->host);
  return std::move(walked->host);
}

bool Paths::LinkFile(const fs::path& from, const fs::path& to) {
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
      NoteCreated(to);
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
  NoteCreated(to);
  return true;
}

std::string Paths::Native(const fs::path& host) {
  fs::path native = host;
  native.make_preferred();
  return native.string();
}

std::string Paths::ProgramForm(std::string_view path) const {
  fs::path host = HostName(path);
  std::string shown;
  if (!host.is_absolute()) {
    shown = std::string(path);
  } else {
    const std::string text = host.make_preferred().string();
    if (StartsWithFolder(FoldName(text), root_folded_)) shown = text.substr(root_folded_.size());
  }
  std::replace(shown.begin(), shown.end(), '/', '\\');
  shown.erase(0, shown.find_first_not_of('\\'));
  if (shown.empty()) shown = host.filename().string();
  return shown;
}

void Paths::NoteCreated(const fs::path& host) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto [made, added] = made_names_.insert(host.native());
  if (added) made_.push_back(&*made);
  auto it = indexes_.find(host.parent_path().string());
  if (it == indexes_.end()) return;
  std::string name = host.filename().string();
  it->second.try_emplace(FoldName(name), name);
}

void Paths::NoteRemoved(const fs::path& host) {
  std::lock_guard<std::mutex> lock(mutex_);
  indexes_.erase(host.string());
  auto it = indexes_.find(host.parent_path().string());
  if (it == indexes_.end()) return;
  std::string name = host.filename().string();
  auto hit = it->second.find(FoldName(name));
  if (hit != it->second.end() && hit->second == name) it->second.erase(hit);
}

void Paths::ClearWorkFolder(std::string_view folder) {
  std::optional<fs::path> host = ResolveForRemove(folder);
  if (!host) return;
  std::error_code error;
  fs::file_status status = fs::symlink_status(*host, error);
  if (status.type() == fs::file_type::not_found) return;
  std::vector<fs::path> wrong;
  if (!fs::is_directory(status)) {
    wrong.push_back(*host);
  } else {
    for (fs::directory_iterator it(*host, error), end; !error && it != end; it.increment(error)) {
      std::error_code kind_error;
      if (!fs::is_regular_file(it->symlink_status(kind_error))) wrong.push_back(it->path());
    }
  }
  for (const fs::path& entry : wrong) {
    fs::path failed;
    const bool removed = RemoveTree(entry, &failed, error);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      indexes_.clear();  // names below the entry may be gone too
    }
    if (removed) continue;
    throw common::IoError(failed.string(), error.message());
  }
}

void Paths::RemoveMade() {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto name = made_.rbegin(); name != made_.rend(); ++name) {
    const fs::path made(**name);
    std::error_code error;
    fs::file_status status = fs::symlink_status(made, error);
    if (error || status.type() == fs::file_type::not_found) continue;
    // A folder the run made may since have been replaced by a link: its
    // entries are then reached through the link and stay.
    if (made == root_ || !ReachedWithoutLinks(made.parent_path())) continue;
    // A folder goes only once empty: what the run did not make stays.
    fs::remove(made, error);
  }
  made_.clear();
  made_names_.clear();
  indexes_.clear();
}

void Paths::DeleteFile(std::string_view path) {
  std::optional<Walked> walked = WalkForWrite(path);
  if (!walked || walked->host == root_) return;
  const fs::file_type type = walked->Type();
  if (type == fs::file_type::none || type == fs::file_type::directory ||
      type == fs::file_type::not_found) {
    return;
  }
  std::error_code error;
  if (fs::remove(walked->host, error)) NoteRemoved(walked->host);
}

size_t Paths::RemoveFilesIn(std::string_view folder) {
  std::optional<fs::path> host = ResolveForRemove(folder);
  if (!host || !ReachedWithoutLinks(*host)) return 0;
  std::error_code error;
  if (!fs::is_directory(fs::symlink_status(*host, error))) return 0;
  std::vector<fs::path> entries;
  for (fs::directory_iterator it(*host, error), end; !error && it != end; it.increment(error)) {
    // The listing tells each entry's kind; the host is asked only where it
    // does not.
    std::error_code kind_error;
    const bool folder = !it->is_symlink(kind_error) && it->is_directory(kind_error);
    if (!folder) entries.push_back(it->path());
  }
  size_t removed = 0;
  for (const fs::path& entry : entries) {
    if (Remove(entry, error)) ++removed;
  }
  return removed;
}

bool Paths::IsEmptyFolder(std::string_view path) const {
  std::optional<fs::path> folder = RealFolder(path);
  if (!folder) return false;
  std::error_code error;
  const bool empty = fs::is_empty(*folder, error);
  return empty && !error;
}

void Paths::RemoveEntry(std::string_view path) {
  std::optional<fs::path> host = ResolveForRemove(path);
  if (!host) return;
  std::error_code error;
  fs::remove(*host, error);
  NoteRemoved(*host);
}

void Paths::MakeFolder(const fs::path& host) {
  std::error_code error;
  fs::file_status status = fs::symlink_status(host, error);
  if (fs::is_symlink(status) && fs::remove(host, error)) NoteRemoved(host);
  if (fs::is_directory(fs::symlink_status(host, error))) return;
  if (!fs::create_directory(host, error) || error) {
    throw common::IoError(host.string(), error ? error.message() : "not a folder");
  }
  NoteCreated(host);
}

bool Paths::MakeFolders(const fs::path& host, std::error_code& error) {
  // The folders that do not exist yet, deepest first.
  std::vector<fs::path> missing;
  for (fs::path level = host; !fs::exists(fs::symlink_status(level, error));
       level = level.parent_path()) {
    missing.push_back(level);
    if (level == level.parent_path()) break;
  }
  if (!fs::create_directories(host, error)) return false;
  for (auto level = missing.rbegin(); level != missing.rend(); ++level) NoteCreated(*level);
  return true;
}

void Paths::Rename(const fs::path& from, const fs::path& to, std::error_code& error) {
  fs::rename(from, to, error);
  if (error) return;
  NoteRemoved(from);
  NoteCreated(to);
}

void Paths::ReplaceFile(const fs::path& from, const fs::path& to) {
  std::error_code error;
  // Renamed onto a file, the file system may write the renamed file out
  // at once (so that a crash cannot leave the name empty); these are work
  // files, so the old one goes first and the new one's data is written
  // back in the system's own time.
  if (fs::is_regular_file(fs::symlink_status(to, error))) fs::remove(to, error);
  Rename(from, to, error);
  if (error) throw common::IoError(to.string(), error.message());
}

bool Paths::Remove(const fs::path& host, std::error_code& error) {
  if (!fs::remove(host, error)) return false;
  NoteRemoved(host);
  return true;
}

void Paths::RemoveFile(const fs::path& host) {
  std::error_code error;
  Remove(host, error);
}

std::optional<std::uintmax_t> FileSize(const fs::path& host) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(host, error);
  if (error) return std::nullopt;
  return size;
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
