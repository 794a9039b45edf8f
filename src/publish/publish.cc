#include "publish/publish.h"

#include <string>
#include <string_view>

#include "common/bytes.h"
#include "common/constants.h"
#include "driver/conventions.h"

namespace publish {
namespace {

using driver::RunCommand;
using driver::RunContext;

// Copies the numbered pages (listed in dir_02.txt, now annotated) and the
// index pages into an emptied htm_out.
void CopyPages(RunContext& run) {
  if (!driver::DetectFolder(run, "dir /b *. > dir_01.txt", "dir_01.txt", "htm_out")) {
    RunCommand(run, "md htm_out > out_null.list");
  }
  RunCommand(run, "dir > htm_out\\f_01.txt > out_null.list");
  RunCommand(run, "del /q htm_out\\*.* > out_null.list");
  common::LineReader pages = driver::OpenListing(run, "dir_02.txt");
  std::string_view line;
  std::string command;
  while (pages.Next(&line)) {
    if (!common::Contains(line, ".htm")) continue;
    command.assign("copy ");
    command += common::Trim(line);
    command += " htm_out\\ > out_null.list";
    RunCommand(run, command);
  }
  pages.Close();
  RunCommand(run, "copy files_list.htm htm_out\\ > out_null.list");
  RunCommand(run, "copy i_*.htm htm_out\\ > out_null.list");
  RunCommand(run, "copy index.htm htm_out\\ > out_null.list");
  RunCommand(run, "copy s_*.htm htm_out\\ > out_null.list");
}

// Removes every work file and work folder; txt_in, htm_out, trace and the
// listing dir_01.txt stay.
void RemoveWorkFiles(RunContext& run) {
  RunCommand(run, "del /q *.htm*");
  RunCommand(run, "del /q *.list");
  driver::DeleteListed(run, "*.txt");
  for (std::string_view folder :
       {"htm_in", "htm_ndx\\htm_in", "htm_ndx", "htm_wrk", "txt_wrk", "wrd_24"}) {
    driver::RemoveTree(run, folder);
  }
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
  driver::Progress(run, 90);
  CopyPages(run);
  RemoveWorkFiles(run);
  driver::Progress(run, 100);
  // The three command lines that would follow here ("cd ..", "md htm_out"
  // and a copy into htm_ot) act on folders no run creates and only print
  // errors, so they are not run.
  ShowResults(run);
  driver::KeyPromptAndEnd(run);
}

}  // namespace publish
