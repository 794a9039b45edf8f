#include "run/clean_up.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include "common/io_error.h"
#include "common/parallel.h"
#include "run/commands.h"
#include "run/work_files.h"

namespace runctx {
namespace {

// Makes the program path `folder` fit to be a work folder (see
// ClearWorkFolders).
void ClearWorkFolder(RunContext& run, std::string_view folder) {
  const std::optional<platform::HostPath> host = run.paths.ResolveForRemove(folder);
  if (!host) return;
  const platform::fs::file_type type = platform::EntryType(*host);
  if (type == platform::fs::file_type::not_found) return;
  std::vector<platform::HostPath> wrong;
  if (type != platform::fs::file_type::directory) {
    wrong.push_back(*host);
  } else {
    for (const platform::FolderEntry& entry : platform::FolderEntries(*host)) {
      if (entry.type != platform::fs::file_type::regular) wrong.push_back(entry.host);
    }
  }
  for (const platform::HostPath& entry : wrong) {
    std::error_code error;
    platform::HostPath failed;
    if (!run.paths.Remove(entry, platform::Removal::kTree, &error, &failed)) {
      throw common::IoError(failed.string(), error.message());
    }
  }
}

// Removes every entry of the program path `folder` that is no folder (a
// link goes as a link), without a message; a folder in it stays with all
// it holds, and an entry that cannot go stays. Acts only on a real folder
// reached without links. The number of entries removed.
size_t RemoveFilesIn(RunContext& run, std::string_view folder) {
  const std::optional<platform::HostPath> host = run.paths.ResolveForRemove(folder);
  if (!host || !run.paths.ReachedWithoutLinks(*host) ||
      platform::EntryType(*host) != platform::fs::file_type::directory) {
    return 0;
  }
  size_t removed = 0;
  for (const platform::FolderEntry& entry : platform::FolderEntries(*host)) {
    if (entry.type != platform::fs::file_type::directory && run.paths.Remove(entry.host)) {
      ++removed;
    }
  }
  return removed;
}

void RemoveNamedFiles(RunContext& run, std::span<const std::string_view> names) {
  for (std::string_view name : names) RemoveNamed(run, name, platform::Removal::kFileOrLink);
}

}  // namespace

void ClearWorkFolders(RunContext& run) {
  for (std::string_view folder : kWorkFolders) ClearWorkFolder(run, folder);
}

bool RemoveNamed(RunContext& run, std::string_view name, platform::Removal what) {
  const std::optional<platform::HostPath> host = run.paths.ResolveForRemove(name);
  return host && run.paths.Remove(*host, what);
}

void RemoveReadUpTo(RunContext& run, LastReader phase) {
  if (phase == LastReader::kGroupPass) return RemoveNamedFiles(run, kWordFilesReadUpToGroupPass);
  if (phase == LastReader::kMainIndex) return RemoveNamedFiles(run, kWordFilesReadUpToMainIndex);
  RemoveNamedFiles(run, kFilesReadUpToPageSet);
  constexpr auto& kFolders = kFoldersReadUpToPageSet;
  std::array<size_t, std::size(kFolders)> removed{};
  common::ParallelFor(std::size(kFolders), run.threads, [&](size_t i) {
    removed[i] = RemoveFilesIn(run, kFolders[i]);
    if (removed[i] > 0 && run.paths.IsEmptyFolder(kFolders[i])) RemoveNamed(run, kFolders[i]);
  });
  for (size_t i = 0; i < std::size(kFolders); ++i) {
    if (removed[i] > 0) run.emptied_folders.emplace_back(kFolders[i]);
  }
}

void RemoveLeftoverWordFiles(RunContext& run) {
  for (std::string_view name : kWordFilesReadUpToGroupPass) RemoveNamed(run, name);
  for (std::string_view name : kWordFilesReadUpToMainIndex) RemoveNamed(run, name);
}

void RemoveWorkFolders(RunContext& run) {
  for (std::string_view folder : kFoldersRemovedAtEnd) {
    const bool emptied = std::find(run.emptied_folders.begin(), run.emptied_folders.end(),
                                   folder) != run.emptied_folders.end();
    if (emptied && !platform::ListedEntryOf(run.paths.ForRead(folder))) continue;
    if (emptied && run.paths.IsEmptyFolder(folder)) {
      RunCommand(run, Cmd("rd ", folder));
    } else {
      RemoveTree(run, folder);
    }
  }
}

}  // namespace runctx
