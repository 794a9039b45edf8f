// Text-to-page conversion. Every sanitized text file of txt_wrk becomes one
// page of htm_wrk showing its text, decoded to UTF-8, inside a preformatted
// block: markup stays markup, every other "<" is written "&lt;". After the
// listing screen the pages go into htm_in, which the page set reads, and
// into htm_ndx\htm_in.
#include "input/convert.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/bytes.h"
#include "common/parallel.h"
#include "input/decode.h"
#include "input/markup.h"
#include "platform/paths.h"
#include "run/commands.h"
#include "run/work_files.h"

namespace input {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Read buffer of a text file being converted.
constexpr size_t kTextBuffer = size_t{1} << 16;
// A text file whose decoded text is at most this long is read from the disk
// once: its second pass reads the text kept from the first.
constexpr size_t kKeptText = size_t{1} << 20;

// The longest page line, in bytes. A word's column is written in six
// characters, so a page line must stay well under a million bytes: beyond
// that the records of the line no longer sort by column and its annotated
// page comes apart. The page set may widen a line up to seven times (each
// leading blank stays and gains an "&nbsp;"); this leaves room for it.
constexpr size_t kLongestPageLine = 100000;

// A text whose page lines come to more than this many bytes, each line's
// end counted as two, becomes several pages, each of at most this many
// (a part always holds a line): an annotated page is 45 to 55 times its
// text, and a page of 200,000 bytes of text, about 11 MB annotated, opens
// in a browser in seconds, where a 3.4 MB text made a page that never did.
constexpr uint64_t kLongestPart = 200000;

// Calls `emit` with each page line of one text line: trailing blanks
// removed, and a line longer than a page line may be cut after a blank;
// where the last half of the piece holds none, at the limit itself, but
// not inside a UTF-8 character.
template <typename Emit>
void ForEachPageLine(std::string_view line, Emit emit) {
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
    emit(common::TrimRight(line.substr(0, cut)));
    line.remove_prefix(next);
  }
  emit(line);
}

// The parts of a text, page line after page line: each part takes lines
// while it stays at or under kLongestPart bytes.
class PartRule {
 public:
  // Takes the next page line, of `size` bytes without its end; true when
  // it begins a part after the first.
  bool Take(size_t size) {
    const uint64_t bytes = size + 2;
    const bool next = part_lines_ > 0 && part_bytes_ + bytes > kLongestPart;
    if (next) {
      ++parts_;
      part_bytes_ = 0;
      part_lines_ = 0;
    }
    part_bytes_ += bytes;
    ++part_lines_;
    return next;
  }
  int parts() const { return parts_; }

 private:
  int parts_ = 1;
  uint64_t part_bytes_ = 0;
  uint64_t part_lines_ = 0;
};

// The most bytes the page lines of `line` can take, ends included: each
// "<" may be written "&lt;", and each piece of a cut line but the last
// takes at least half a page line of the text.
uint64_t MostPageBytes(std::string_view line) {
  const uint64_t escaped = line.size() + 3 * static_cast<uint64_t>(std::count(line.begin(), line.end(), '<'));
  return escaped + 2 + 2 * (escaped / (kLongestPageLine / 2));
}

// Calls `take(line, start)` for each line of `text`, the UTF-8 byte order
// mark that may open it dropped (it would glue itself to the first word);
// `start` grows along the text alike on every pass.
template <typename Take>
void ForEachLine(DecodedLines& text, Take take) {
  std::string_view line;
  uint64_t start = 0;
  bool first = true;
  while (text.Next(&line)) {
    if (first && line.starts_with(kByteOrderMark)) line.remove_prefix(kByteOrderMark.size());
    first = false;
    take(line, start);
    start += line.size() + 1;
  }
}

// The name under which the user knows the input that txt_wrk holds as
// `work_name`, as a message shows it.
std::string InputName(const runctx::RunContext& run, std::string_view work_name) {
  auto renamed = run.input_names.find(std::string(work_name));
  return platform::ShownName(renamed == run.input_names.end() ? work_name : renamed->second);
}

// Converts the listed text files, stopping after as many pages as txt_in
// listed files. The pages are written side by side on all cores; a page
// name listed twice keeps the text listed last, as if written in turn.
// Each input that is not UTF-8 is named on the error stream, in listing
// order.
void ConvertListed(runctx::RunContext& run) {
  using runctx::Cmd, runctx::kTxtWorkList, runctx::kTxtWrk;
  runctx::RunCommand(run, Cmd("dir /b ", kTxtWrk, "\\*.txt > ", kTxtWorkList));
  platform::LineReader listing = runctx::OpenListing(run, runctx::kTxtWorkList);
  struct Job {
    platform::HostPath source;
    std::string page_path;
    std::string work_name;
    bool read_as_windows_1252 = false;
  };
  std::vector<Job> jobs;
  std::unordered_map<std::string, size_t> job_of_page;
  int written = 0;
  std::string_view line;
  while (written < run.input_count && listing.Next(&line)) {
    std::optional<std::string> page = PageFileName(line);
    if (!page) continue;
    std::string work_name(common::Trim(line));
    Job job{run.paths.ForRead(runctx::Cmd(runctx::kTxtWrk, "\\", work_name)),
            runctx::Cmd(runctx::kHtmWrk, "\\", *page), work_name};
    auto [at, added] = job_of_page.try_emplace(platform::FoldName(job.page_path), jobs.size());
    if (added) {
      jobs.push_back(std::move(job));
    } else {
      jobs[at->second] = std::move(job);
    }
    ++written;
  }
  common::ParallelFor(jobs.size(), run.threads, [&](size_t i) {
    jobs[i].read_as_windows_1252 = WritePageFile(run.paths, jobs[i].source, jobs[i].page_path);
  });
  for (const Job& job : jobs) {
    if (!job.read_as_windows_1252) continue;
    run.console.Error("not UTF-8, read as Windows-1252: " + InputName(run, job.work_name));
  }
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

bool WritePage(runctx::RunContext& run, std::string_view source_path, std::string_view page_path) {
  return WritePageFile(run.paths, run.paths.ForRead(source_path), page_path);
}

std::string PartPath(std::string_view page_path, int part, int parts) {
  std::string_view base = page_path.substr(0, page_path.size() - std::string_view(".htm").size());
  return std::string(base) + "~" + common::ZeroPad(part, std::to_string(parts).size()) + ".htm";
}

bool WritePageFile(platform::Paths& paths, const platform::HostPath& source_host,
                   std::string_view page_path) {
  // A first pass finds where the last end tag of each element and the last
  // "-->" begin, so that memory stays the same whatever the file's size,
  // and bounds the bytes of the page lines.
  DecodedLines text(source_host, kTextBuffer, kKeptText);
  MarkupRule markup;
  uint64_t most_bytes = 0;
  ForEachLine(text, [&](std::string_view line, uint64_t start) {
    markup.Record(line, start);
    most_bytes += MostPageBytes(line);
  });
  const bool read_as_windows_1252 = text.read_as_windows_1252();
  std::string escaped;
  // Each page line of the text, as the page holds it.
  auto for_each_page_line = [&](auto emit) {
    text.Rewind();
    ForEachLine(text, [&](std::string_view line, uint64_t start) {
      if (line.find('<') == std::string_view::npos) return ForEachPageLine(line, emit);
      escaped.clear();
      markup.Escape(line, start, &escaped);
      ForEachPageLine(escaped, emit);
    });
  };
  // The parts are counted first where there may be more than one: their
  // names carry the digits of their number.
  int parts = 1;
  if (most_bytes > kLongestPart) {
    PartRule rule;
    for_each_page_line([&](std::string_view line) { rule.Take(line.size()); });
    parts = rule.parts();
  }
  int part = 1;
  platform::LineWriter page;
  auto open_part = [&] {
    const std::string path = parts == 1 ? std::string(page_path) : PartPath(page_path, part, parts);
    page = platform::LineWriter(paths.ForWrite(path));
    page.Line("<HTML>");
    page.Line("<head>");
    page.Line("<meta http-equiv=\"content-type\"  content=\"text/HTML; charset=utf-8\">");
    page.Line("<title>");
    page.Line(path);
    page.Line("</title>");
    page.Line("</head>");
    page.Line("<body>");
    page.Line("<pre>");
  };
  auto close_part = [&] {
    page.Line("</pre>");
    page.Line("</body>");
    page.Line("</html>");
    page.Close();
  };
  open_part();
  PartRule rule;
  for_each_page_line([&](std::string_view line) {
    if (rule.Take(line.size())) {
      close_part();
      ++part;
      open_part();
    }
    page.Line(line);
  });
  close_part();
  return read_as_windows_1252;
}

void ConvertTexts(runctx::RunContext& run) {
  ConvertListed(run);
  ShowListingScreen(run);
  // That was the last screen at which the user may end the run: from here
  // it goes on to its end, which deletes the command output that nobody
  // reads.
  run.interpreter.DiscardInto(std::string(runctx::kOutNullList));
  run.interpreter.DiscardInto(std::string(runctx::kOutNullText));
  CopyPages(run);
}

}  // namespace input
