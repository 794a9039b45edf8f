// Where the program's paths lead: names split and walked level by level,
// existing entries found whatever the case of the name used (through an
// index of each folder's names), and the checks that keep every change
// inside the program's folder.
#include "platform/names.h"

#include <algorithm>
#include <system_error>
#include <vector>

#include "common/bytes.h"
#include "common/io_error.h"

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

}  // namespace

bool IsAllowedName(std::string_view name) {
  for (unsigned char c : name) {
    if (c < 32) return false;
    switch (c) {
      case '\\':
      case '/':
      case ':':
      case '*':
      case '?':
      case '"':
      case '<':
      case '>':
      case '|':
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

Names::Names(const fs::path& root) {
  std::error_code error;
  root_ = fs::canonical(fs::absolute(root), error);
  if (error) root_ = fs::absolute(root).lexically_normal();
  root_.make_preferred();
  root_folded_ = FoldName(root_.string());
  if (!error) root_id_ = EntryIdOf(root_);
}

const Names::NameIndex& Names::IndexOf(const fs::path& folder) const {
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

std::optional<std::string> Names::IndexedName(const fs::path& folder,
                                              const std::string& name) const {
  std::lock_guard<std::mutex> lock(index_mutex_);
  const NameIndex& index = IndexOf(folder);
  auto hit = index.find(FoldName(name));
  if (hit == index.end()) return std::nullopt;
  return hit->second;
}

std::optional<Names::Walked> Names::Walk(std::string_view path) const {
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

std::optional<fs::path> Names::Resolve(std::string_view path) const {
  std::optional<Walked> walked = Walk(path);
  if (!walked) return std::nullopt;
  return std::move(walked->host);
}

bool Names::RootUnmoved() const {
  if (!root_id_) return false;
  std::optional<EntryId> now = EntryIdOf(root_);
  return now && *now == *root_id_;
}

bool Names::LexicallyInsideWithoutLinks(const fs::path& host) const {
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

bool Names::IsInside(const fs::path& host) const {
  // Without a link on the way, the path itself says where it leads.
  if (RootUnmoved() && LexicallyInsideWithoutLinks(host)) return true;
  std::error_code error;
  fs::path real = fs::weakly_canonical(host, error);
  if (error) return false;
  real.make_preferred();
  return StartsWithFolder(real.string(), root_.string());
}

bool Names::ReachedWithoutLinks(const fs::path& host) const {
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

std::optional<Names::Walked> Names::WalkForWrite(std::string_view path) const {
  std::optional<Walked> walked = Walk(path);
  if (!walked || walked->host == root_) return walked;
  // Walk asked every folder on the way: none a link, in the program's
  // folder where it stood, and the entry's folder is inside.
  if (walked->folders_plain && RootUnmoved()) return walked;
  fs::path folder = walked->host.parent_path();
  if (!ReachedWithoutLinks(folder) || !IsInside(folder)) return std::nullopt;
  return walked;
}

std::optional<fs::path> Names::ResolveForWrite(std::string_view path) const {
  std::optional<Walked> walked = WalkForWrite(path);
  if (!walked) return std::nullopt;
  return std::move(walked->host);
}

std::optional<fs::path> Names::ResolveForRemove(std::string_view path) const {
  std::optional<fs::path> host = ResolveForWrite(path);
  if (!host || *host == root_) return std::nullopt;
  return host;
}

fs::file_type Names::Walked::Type() const {
  if (type != fs::file_type::unknown) return type;
  std::error_code error;
  return fs::symlink_status(host, error).type();
}

bool Names::IsLink(std::string_view path) const {
  std::optional<Walked> walked = Walk(path);
  return walked && walked->host != root_ && walked->Type() == fs::file_type::symlink;
}

std::optional<fs::path> Names::RealFolder(std::string_view path) const {
  std::optional<Walked> walked = Walk(path);
  if (!walked || walked->Type() != fs::file_type::directory) return std::nullopt;
  if (!walked->folders_plain && walked->host != root_ && !ReachedWithoutLinks(walked->host)) {
    return std::nullopt;
  }
  return std::move(walked->host);
}

bool Names::IsFolder(std::string_view path) const { return RealFolder(path).has_value(); }

fs::path Names::ForRead(std::string_view path) const {
  std::optional<fs::path> host = Resolve(path);
  return host ? *host : fs::path();
}

fs::path Names::ForWrite(std::string_view path) const {
  std::optional<fs::path> host = ResolveForWrite(path);
  if (!host) throw common::IoError(std::string(path), "Access is denied.");
  return std::move(*host);
}

std::string Names::Native(const fs::path& host) {
  fs::path native = host;
  native.make_preferred();
  return native.string();
}

std::string Names::ProgramForm(std::string_view path) const {
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

bool Names::IsEmptyFolder(std::string_view path) const {
  std::optional<fs::path> folder = RealFolder(path);
  if (!folder) return false;
  std::error_code error;
  const bool empty = fs::is_empty(*folder, error);
  return empty && !error;
}

void Names::IndexMade(const fs::path& host) {
  std::lock_guard<std::mutex> lock(index_mutex_);
  auto it = indexes_.find(host.parent_path().string());
  if (it == indexes_.end()) return;
  std::string name = host.filename().string();
  it->second.try_emplace(FoldName(name), name);
}

void Names::IndexRemoved(const fs::path& host) {
  std::lock_guard<std::mutex> lock(index_mutex_);
  indexes_.erase(host.string());
  auto it = indexes_.find(host.parent_path().string());
  if (it == indexes_.end()) return;
  std::string name = host.filename().string();
  auto hit = it->second.find(FoldName(name));
  if (hit != it->second.end() && hit->second == name) it->second.erase(hit);
}

void Names::ForgetIndexes() {
  std::lock_guard<std::mutex> lock(index_mutex_);
  indexes_.clear();
}

}  // namespace platform
