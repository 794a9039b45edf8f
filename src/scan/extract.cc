// Word extraction over the page set. Pages are scanned in pieces on all
// cores, each page's words numbered on the page there and its forms looked
// up among those the word data holds; one thread takes the pieces in page
// order into the word data through its writer (run/word_data.h), which
// numbers the occurrences across pages and writes them, and each page's
// words, to the binary work files.
#include "scan/extract.h"

#include <memory>

#include "common/bytes.h"
#include "platform/lines.h"
#include "platform/paths.h"
#include "run/commands.h"
#include "run/screens.h"
#include "run/work_files.h"
#include "scan/pieces.h"

namespace scan {
namespace {

// The page names of dir_02.txt, lower-cased; lines without ".htm" are
// passed over.
std::vector<std::string> ListedPages(runctx::RunContext& run) {
  std::vector<std::string> names;
  platform::LineReader pages = runctx::OpenListing(run, runctx::kDir02);
  std::string_view entry;
  while (pages.Next(&entry)) {
    std::string page = common::Lower(entry);
    if (page.find(".htm") != std::string::npos) names.push_back(std::move(page));
  }
  return names;
}

}  // namespace

void ExtractWords(runctx::RunContext& run) {
  runctx::RunCommand(run, runctx::Cmd("dir /b ", runctx::kNumberedPages, " > ", runctx::kDir02));
  auto data = std::make_shared<runctx::WordData>();
  std::vector<std::string> names = ListedPages(run);
  std::vector<platform::HostPath> hosts;
  for (std::string& name : names) {
    hosts.push_back(run.paths.ForRead(name));
    data->pages.push_back(runctx::PageInfo{std::move(name)});
  }
  run.word_data = data;
  runctx::WordDataWriter collector(run.paths, *data, run.input_count);
  ScanInPieces(
      hosts, run.threads, run.limits,
      [&](size_t page, const PageWords& piece, bool last) {
        collector.AddPiece(page, piece, last);
      },
      [&](PageWords* piece) { collector.ResolveForms(piece); });
  collector.Finish();
  runctx::Progress(run, 10);
}

}  // namespace scan
