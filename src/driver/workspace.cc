// The workspace folders. Before any input is touched htm_out is emptied,
// txt_in is checked and the work folders are recreated, so nothing from an
// earlier run leaks into this one; after the conversion every leftover work
// file of the program's folder goes.
#include "driver/workspace.h"

#include <optional>
#include <string>
#include <string_view>

#include "common/bytes.h"
#include "run/clean_up.h"
#include "run/commands.h"
#include "run/screens.h"
#include "run/work_files.h"

namespace driver {
namespace {

using runctx::Cmd, runctx::kDir01, runctx::kDirCurrent, runctx::kFolderListing, runctx::kHtmIn,
    runctx::kHtmOut, runctx::kHtmWrk, runctx::kOutNullList, runctx::kTxtFileList,
    runctx::kTxtFileText, runctx::kTxtIn, runctx::kTxtWrk;

// Counts the lines of a listing; with `part`, only those that contain it
// (case-sensitive).
int CountLines(runctx::RunContext& run, std::string_view listing, std::string_view part = {}) {
  platform::LineReader reader = runctx::OpenListing(run, listing);
  int count = 0;
  std::string_view line;
  while (reader.Next(&line)) {
    if (common::Contains(line, part)) ++count;
  }
  return count;
}

// The work folders txt_wrk and htm_wrk are emptied when present and made
// otherwise; they are never removed here.
void EmptyOrMake(runctx::RunContext& run, std::string_view folder) {
  if (runctx::DetectFolder(run, Cmd("dir /b *. > ", kDirCurrent), kDirCurrent, folder)) {
    runctx::RunCommand(run, Cmd("del /q ", folder, "\\*.* > ", kOutNullList));
  } else {
    runctx::RunCommand(run, Cmd("md ", folder, " > ", kOutNullList));
  }
}

}  // namespace

void PrepareOutputAndInput(runctx::RunContext& run) {
  runctx::RunCommand(run, Cmd("dir > ", kHtmOut, "\\", kFolderListing));
  runctx::RunCommand(run, Cmd("del /q ", kHtmOut, "\\*.*"));
  // A missing txt_in lists nothing and so ends here like an empty one. The
  // test is for ".txt" exactly: names ending in ".TXT" alone count as none.
  runctx::RunCommand(run, Cmd("dir /b  ", kTxtIn, "\\*.txt > ", kTxtFileText));
  if (CountLines(run, kTxtFileText, ".txt") > 0) return;
  run.console.Line();
  run.console.Line(runctx::Rule(runctx::kScreenRule));
  run.console.Line("Subfolder txt_in is empty");
  run.console.Line();
  runctx::AcknowledgeAndEnd(run);
}

void PrepareWorkFolders(runctx::RunContext& run) {
  // The program owns its work folders and all they hold. What an earlier
  // run or a user left there of the wrong kind (a file named htm_in, a
  // folder named txt_wrk\a.txt, a link) would take an input's copy or page
  // and leave the input out of the index; it goes first, links as links.
  runctx::ClearWorkFolders(run);
  // htm_out that is a link, even to nothing, is removed as a link and made
  // again as a real folder before the pages are published.
  if (run.paths.IsLink(kHtmOut)) runctx::RemoveNamed(run, kHtmOut);
  if (runctx::DetectFolder(run, Cmd("dir /b *. > ", kDir01), kDir01, kHtmIn)) {
    runctx::EmptyAndRemoveFolder(run, kHtmIn);
  }
  runctx::RunCommand(run, Cmd("dir /b *. > ", kDir01));
  runctx::RunCommand(run, Cmd("md ", kHtmIn, " > ", kOutNullList));
  if (!runctx::DetectFolder(run, Cmd("dir *. > ", kDirCurrent), kDirCurrent, kHtmIn,
                            /*long_form=*/true)) {
    runctx::EndWithKeyPrompt(run, /*rule=*/32, "subfolder htm_in must be created");
  }
  run.console.Line();

  runctx::RunCommand(run, Cmd("dir /b ", kTxtIn, "\\*.txt  > ", kTxtFileList));
  run.input_count = CountLines(run, kTxtFileList);
  if (run.input_count == 0) runctx::EndWithKeyPrompt(run, /*rule=*/18, "missing txt_in subfolder");

  EmptyOrMake(run, kTxtWrk);
  EmptyOrMake(run, kHtmWrk);
  if (!runctx::DetectFolder(run, Cmd("dir /b *. > ", kDirCurrent), kDirCurrent, kTxtWrk,
                            /*long_form=*/true)) {
    runctx::EndWithKeyPrompt(run, /*rule=*/28, "Subfolder txt_wrk must be created.");
  }
  // A work folder that is still no real folder (a file of that name, a
  // link that could not be removed) would take no copy and no page: the run
  // would index nothing and still say it is done.
  for (std::string_view folder : {kTxtWrk, kHtmWrk}) {
    if (!run.paths.IsFolder(folder)) {
      throw common::IoError(std::string(folder), "a work folder could not be made there");
    }
  }
}

void CleanLeftovers(runctx::RunContext& run) {
  runctx::DeleteListed(run, "*.htm*");
  runctx::DeleteListed(run, "*.list");
  runctx::DeleteListed(run, "*.txt");
  runctx::DeleteListed(run, Cmd(kHtmOut, "\\*.*"), Cmd(kHtmOut, "\\"));
  runctx::RemoveLeftoverWordFiles(run);
}

}  // namespace driver
