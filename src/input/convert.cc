// Text-to-page conversion. Every sanitized text file of txt_wrk becomes one
// page of htm_wrk showing its text unchanged (markup stays markup) inside a
// preformatted block; after the listing screen the pages go into htm_in,
// which the page set reads, and into htm_ndx\htm_in.
#include "input/convert.h"

#include <string>
#include <unordered_map>
#include <vector>

#include "common/bytes.h"
#include "common/parallel.h"
#include "platform/paths.h"
#include "run/commands.h"
#include "run/work_files.h"

namespace input {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Read buffer of a text file being converted.
constexpr size_t kTextBuffer = size_t{1} << 16;

// The longest page line, in bytes. A word's column is written in six
// characters, so a page line must stay well under a million bytes: beyond
// that the records of the line no longer sort by column and its annotated
// page comes apart. The page set may widen a line up to seven times (each
// leading blank stays and gains an "&nbsp;"); this leaves room for it.
constexpr size_t kLongestPageLine = 100000;

// Writes one text line, trailing blanks removed. A longer line than a page
// line may be is cut after a blank; where the last half of the piece holds
// none, at the limit itself, but not inside a UTF-8 character.
void WriteTextLine(platform::LineWriter& page, std::string_view line) {
  line = common::TrimRight(line);
  while (line.size() > kLongestPageLine) {
    size_t cut = line.rfind(' ', kLongestPageLine);
    size_t next = cut + 1;
    if (cut == std::string_view::npos || cut < kLongestPageLine / 2) {
      cut = kLongestPageLine;
      for (int back = 0; back < 3 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80;
           ++back) {
        --cut;
      }
      next = cut;
    }
    page.Line(common::TrimRight(line.substr(0, cut)));
    line.remove_prefix(next);
  }
  page.Line(line);
}

// Converts the listed text files, stopping after as many pages as txt_in
// listed files. The pages are written side by side on all cores; a page
// name listed twice keeps the text listed last, as if written in turn.
void ConvertListed(runctx::RunContext& run) {
  using runctx::Cmd, runctx::kTxtWorkList, runctx::kTxtWrk;
  runctx::RunCommand(run, Cmd("dir /b ", kTxtWrk, "\\*.txt > ", kTxtWorkList));
  platform::LineReader listing = runctx::OpenListing(run, runctx::kTxtWorkList);
  struct Job {
    platform::HostPath source, page;
    std::string page_path;
  };
  std::vector<Job> jobs;
  std::unordered_map<std::string, size_t> job_of_page;
  int written = 0;
  std::string_view line;
  while (written < run.input_count && listing.Next(&line)) {
    std::optional<std::string> page = PageFileName(line);
    if (!page) continue;
    Job job{run.paths.ForRead("txt_wrk\\" + std::string(common::Trim(line))), {},
            "htm_wrk\\" + *page};
    job.page = run.paths.ForWrite(job.page_path);
    auto [at, added] = job_of_page.try_emplace(job.page.string(), jobs.size());
    if (added) {
      jobs.push_back(std::move(job));
    } else {
      jobs[at->second] = std::move(job);
    }
    ++written;
  }
  common::ParallelFor(jobs.size(), run.threads, [&](size_t i) {
    WritePageFile(jobs[i].source, jobs[i].page, jobs[i].page_path);
  });
}

void ShowListingScreen(runctx::RunContext& run) {
  run.console.Line("----- dir htm_wrk -----");
  runctx::RunCommand(run, runctx::Cmd("dir /b ", runctx::kHtmWrk, "\\*.htm"));
  run.console.Line();
  run.console.Line(runctx::Rule(/*count=*/23));
  run.console.Line("number of files =" + common::Labelled(run.input_count));
  run.console.Line();
  runctx::ContinueOrEnd(run);
}

void CopyPages(runctx::RunContext& run) {
  using runctx::Cmd, runctx::kHtmIn, runctx::kHtmNdx, runctx::kHtmNdxIn, runctx::kHtmWrk,
      runctx::kOutNullList, runctx::kOutNullText;
  run.console.Line();
  runctx::RunCommand(run, Cmd("md ", kHtmIn, " > ", kOutNullList));
  runctx::RunCommand(run, Cmd("del /q ", kHtmIn, "\\*.* > ", kOutNullList));
  runctx::RunCommand(run, Cmd("copy /y ", kHtmWrk, "\\*.htm ", kHtmIn, "\\ > ", kOutNullList));
  runctx::RunCommand(run, Cmd("md ", kHtmNdx, " > ", kOutNullList));
  runctx::RunCommand(run, Cmd("md ", kHtmNdxIn, " > ", kOutNullList));
  runctx::RunCommand(run, Cmd("del /q ", kHtmNdxIn, "\\*.* > ", kOutNullList));
  runctx::RunCommand(run, Cmd("copy /y ", kHtmIn, "\\*.htm ", kHtmNdxIn, "\\ > ", kOutNullText));
}

}  // namespace

std::optional<std::string> PageFileName(std::string_view line) {
  std::string_view name = common::Trim(line);
  size_t at = common::FindNoCase(name, ".txt");
  if (at == std::string_view::npos) return std::nullopt;
  return std::string(name.substr(0, at + 1)) + "htm";
}

void WritePage(runctx::RunContext& run, std::string_view source_path, std::string_view page_path) {
  WritePageFile(run.paths.ForRead(source_path), run.paths.ForWrite(page_path), page_path);
}

void WritePageFile(const platform::HostPath& source_host, const platform::HostPath& page_host,
                   std::string_view page_path) {
  platform::LineReader source(source_host, kTextBuffer);
  platform::LineWriter page(page_host);
  page.Line("<HTML>");
  page.Line("<head>");
  page.Line("<meta http-equiv=\"content-type\"  content=\"text/HTML; charset=utf-8\">");
  page.Line("<title>");
  page.Line(page_path);
  page.Line("</title>");
  page.Line("</head>");
  page.Line("<body>");
  page.Line("<pre>");
  std::string_view line;
  bool first = true;
  while (source.Next(&line)) {
    // A byte order mark would otherwise glue itself to the first word.
    if (first && line.starts_with(kByteOrderMark)) line.remove_prefix(kByteOrderMark.size());
    first = false;
    WriteTextLine(page, line);
  }
  page.Line("</pre>");
  page.Line("</body>");
  page.Line("</html>");
  page.Close();
}

void ConvertTexts(runctx::RunContext& run) {
  ConvertListed(run);
  ShowListingScreen(run);
  CopyPages(run);
}

}  // namespace input
