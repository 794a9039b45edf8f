#include "publish/publish.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/bytes.h"
#include "common/constants.h"
#include "platform/paths.h"
#include "run/clean_up.h"
#include "run/commands.h"
#include "run/screens.h"
#include "run/work_files.h"

namespace publish {
namespace {

using runctx::Cmd, runctx::kDir01, runctx::kFolderListing, runctx::kHtmOut, runctx::kOutNullList;
using runctx::RunCommand;
using runctx::RunContext;

// True when the page `name` of the program's folder exists; raises IoError
// when htm_out does not hold a copy of it of the same size. The copies go
// through the interpreter, which only prints why one failed (htm_out is a
// file, may not be written, the disk is full); ending such a run in
// "Indexing is done." would announce a document base that is not there.
bool CheckPublished(RunContext& run, const std::string& name) {
  const std::optional<std::uintmax_t> size = platform::FileSize(run.paths.ForRead(name));
  // A folder of the page's name took the page in (a copy onto a folder goes
  // into it): the page was never made.
  if (!size && platform::IsDirectoryEntry(run.paths.ForRead(name))) {
    throw common::IoError(name, "a folder stands where the page must be");
  }
  if (!size) return false;  // a page that is gone was never copied (the run goes on)
  const std::string copy = runctx::Cmd(runctx::kHtmOut, "\\", name);
  const std::optional<std::uintmax_t> copied = platform::FileSize(run.paths.ForRead(copy));
  if (copied && *copied == *size) return true;
  if (!platform::IsDirectory(run.paths.ForRead(runctx::kHtmOut))) {
    throw common::IoError(copy, "htm_out is not a folder");
  }
  throw common::IoError(copy, "the page could not be copied into htm_out");
}

// Every page that was to be copied is in htm_out: the numbered pages of
// dir_02.txt, the contents page, the main index and the pages of each group.
void CheckAllPublished(RunContext& run) {
  platform::LineReader pages = runctx::OpenListing(run, runctx::kDir02);
  std::string_view line;
  while (pages.Next(&line)) {
    if (common::Contains(line, ".htm")) CheckPublished(run, std::string(common::Trim(line)));
  }
  pages.Close();
  CheckPublished(run, std::string(runctx::kContentsPage));
  CheckPublished(run, std::string(runctx::kMainIndex));
  for (int group = 1;; ++group) {
    const bool index_page = CheckPublished(run, runctx::WordIndexPage(group));
    const bool search_page = CheckPublished(run, runctx::SearchPage(group));
    if (!index_page && !search_page) break;
  }
}

// Copies the numbered pages (listed in dir_02.txt, now annotated) and the
// index pages into an emptied htm_out.
void CopyPages(RunContext& run) {
  if (!runctx::DetectFolder(run, Cmd("dir /b *. > ", kDir01), kDir01, kHtmOut)) {
    RunCommand(run, Cmd("md ", kHtmOut, " > ", kOutNullList));
  }
  RunCommand(run, Cmd("dir > ", kHtmOut, "\\", kFolderListing, " > ", kOutNullList));
  RunCommand(run, Cmd("del /q ", kHtmOut, "\\*.* > ", kOutNullList));
  platform::LineReader pages = runctx::OpenListing(run, runctx::kDir02);
  std::string_view line;
  while (pages.Next(&line)) {
    if (!common::Contains(line, ".htm")) continue;
    RunCommand(run, Cmd("copy ", common::Trim(line), " ", kHtmOut, "\\ > ", kOutNullList));
  }
  pages.Close();
  for (std::string_view names :
       {runctx::kContentsPage, runctx::kWordIndexPages, runctx::kMainIndex, runctx::kSearchPages}) {
    RunCommand(run, Cmd("copy ", names, " ", kHtmOut, "\\ > ", kOutNullList));
  }
}

// Removes every work file and work folder; txt_in, htm_out, trace and the
// listing dir_01.txt stay.
void RemoveWorkFiles(RunContext& run) {
  RunCommand(run, "del /q *.htm*");
  RunCommand(run, "del /q *.list");
  runctx::DeleteListed(run, "*.txt");
  runctx::RemoveWorkFolders(run);
}

void ShowResults(RunContext& run) {
  platform::Console& out = run.console;
  out.Line();
  out.Line("============ INDEXING RESULTS ===========");
  out.Line();
  out.Line("Indexing is done.");
  out.Line();
  out.Line("view subfolder: \\htm_out");
  out.Line("view files: page*.htm, index*.htm, i_*.htm, s_*.htm");
  out.Line("You can access the index of all words by double-clicking on any word.");
  out.Line("details: " + std::string(common::kMakerSite));
  out.Line();
}

}  // namespace

void Publish(RunContext& run) {
  runctx::Progress(run, 90);
  CopyPages(run);
  CheckAllPublished(run);
  RemoveWorkFiles(run);
  runctx::Progress(run, 100);
  // The three command lines that would follow here ("cd ..", "md htm_out"
  // and a copy into htm_ot) act on folders no run creates and only print
  // errors, so they are not run.
  run.console.RepeatWarnings();
  ShowResults(run);
  runctx::KeyPromptAndEnd(run);
}

}  // namespace publish
