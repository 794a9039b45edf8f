// The life of the work files in one place: which go when (the lists of
// run/work_files.h, by the last phase that reads them), and how a work
// folder is made fit at the start, emptied early and removed at the end.
#pragma once

#include <string_view>

#include "platform/paths.h"
#include "run/run_context.h"

namespace runctx {

/// Makes every work folder fit to be one, whatever an earlier run or a
/// user left there: an entry of its name that is no real folder (a file,
/// FIFO or link) goes, and in a real one every entry that is no regular
/// file (a folder with all it holds, a FIFO, a link). Links go as links,
/// never through them. Raises common::IoError naming the entry that cannot
/// be removed.
void ClearWorkFolders(RunContext& run);

/// Removes the entry the program path `name` names, as much of it as
/// `what` says; false when it is not there, cannot go or lies outside the
/// program's folder.
bool RemoveNamed(RunContext& run, std::string_view name,
                 platform::Removal what = platform::Removal::kEntry);

/// The phases that read work files for the last time.
enum class LastReader { kPageSet, kGroupPass, kMainIndex };

/// Removes the work files that `phase` read for the last time. After the
/// page set the folders it read are emptied, each on a thread of its own
/// (removals from one folder queue on it), and removed when nothing else
/// stands in them; the deletions at the end still find files of each kind
/// they name, so they print nothing more.
void RemoveReadUpTo(RunContext& run, LastReader phase);

/// The binary word files a run stopped before its end left behind: the
/// leftover clean-up removes them with the other work files.
void RemoveLeftoverWordFiles(RunContext& run);

/// Removes every work folder at the end of the run. A folder emptied early
/// and still there is only removed ("rd"): listed, an empty folder would
/// show "File Not Found" where the listing of its files showed nothing.
/// Any other is removed with all it holds, through its listing.
void RemoveWorkFolders(RunContext& run);

}  // namespace runctx
