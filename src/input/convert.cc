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
#include "run/screens.h"
#include "run/work_files.h"

namespace input {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Read buffer of a text file being converted.
constexpr size_t kTextBuffer = size_t{1} << 16;
// A text file whose decoded text is at most this long is read from the disk
// once: its later passes read the text kept from the first.
constexpr size_t kKeptText = size_t{1} << 20;
// A line is read in pieces of at most this many bytes, so that a line of
// any length costs a bounded buffer; most lines are one piece.
constexpr size_t kLinePiece = size_t{1} << 16;

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

// Where a line longer than a page line is cut, and where the rest starts:
// after the last blank at or before the limit where that blank lies in
// the second half of the piece; else at the limit, but not inside a UTF-8
// character nor inside an "&lt;" (which would show as "&l" and "t;").
// `line` holds the bytes from the piece's start to at least the limit,
// and those up to two past it where the line has them.
void CutAt(std::string_view line, size_t* cut, size_t* next) {
  *cut = line.rfind(' ', kLongestPageLine);
  *next = *cut + 1;
  if (*cut != std::string_view::npos && *cut >= kLongestPageLine / 2) return;
  *cut = kLongestPageLine;
  for (int back = 0; back < 3 && (static_cast<unsigned char>(line[*cut]) & 0xC0) == 0x80; ++back) {
    --*cut;
  }
  for (size_t entity = *cut - 3; entity < *cut; ++entity) {
    if (line.substr(entity, 4) == "&lt;") {
      *cut = entity;
      break;
    }
  }
  *next = *cut;
}

// The page lines of one text line, its escaped bytes fed in stretches:
// trailing blanks removed, and cut where the line is longer than a page
// line. A blank run is held as a count until a byte after it shows it is
// not trailing, so a line of any length costs at most a page line.
class PageLines {
 public:
  // Feeds the next bytes of the line; calls `emit` with each page line
  // that is known.
  template <typename Emit>
  void Feed(std::string_view bytes, Emit& emit) {
    while (!bytes.empty()) {
      const size_t word = bytes.find_first_not_of(' ');
      if (word == std::string_view::npos) {
        blanks_ += bytes.size();
        return;
      }
      blanks_ += word;
      bytes.remove_prefix(word);
      size_t end = bytes.find(' ');
      if (end == std::string_view::npos) end = bytes.size();
      Take(bytes.substr(0, end), emit);
      bytes.remove_prefix(end);
    }
  }

  // Ends the line: its trailing blanks go, and its last page line.
  template <typename Emit>
  void End(Emit& emit) {
    blanks_ = 0;
    while (held_.size() > kLongestPageLine) Cut(emit);
    emit(std::string_view(held_));
    held_.clear();
  }

  // The page lines of a whole line at once, without holding its bytes.
  template <typename Emit>
  static void OfLine(std::string_view line, Emit& emit) {
    line = common::TrimRight(line);
    while (line.size() > kLongestPageLine) {
      size_t cut, next;
      CutAt(line, &cut, &next);
      emit(common::TrimRight(line.substr(0, cut)));
      line.remove_prefix(next);
    }
    emit(line);
  }

 private:
  // Takes `text` (no blank in it) after the blanks counted: the line goes
  // on at least to its end, so every cut whose bytes are then known is
  // made.
  template <typename Emit>
  void Take(std::string_view text, Emit& emit) {
    // A cut looks at the bytes up to two past the limit.
    constexpr size_t kSeen = kLongestPageLine + 3;
    while (held_.size() + blanks_ + text.size() >= kSeen) {
      const size_t blanks = std::min<uint64_t>(blanks_, kSeen - std::min(kSeen, held_.size()));
      held_.append(blanks, ' ');
      blanks_ -= blanks;
      const size_t taken = std::min(text.size(), kSeen - std::min(kSeen, held_.size()));
      held_.append(text.substr(0, taken));
      text.remove_prefix(taken);
      Cut(emit);
    }
    held_.append(blanks_, ' ');
    blanks_ = 0;
    held_.append(text);
  }

  template <typename Emit>
  void Cut(Emit& emit) {
    size_t cut, next;
    CutAt(held_, &cut, &next);
    emit(common::TrimRight(std::string_view(held_).substr(0, cut)));
    held_.erase(0, next);
  }

  std::string held_;     // the line from the last cut, up to its last byte that is no blank
  uint64_t blanks_ = 0;  // the blanks after it
};

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

// The most bytes the page lines of a text line of `size` bytes, `angles`
// of them "<", can take, ends included: each "<" may be written "&lt;",
// and each piece of a cut line but the last takes at least half a page
// line of the text.
uint64_t MostPageBytes(uint64_t size, uint64_t angles) {
  const uint64_t escaped = size + 3 * angles;
  return escaped + 2 + 2 * (escaped / (kLongestPageLine / 2));
}

// The windows of a text's lines (see LineWindow): a line of one piece is
// one window, a longer one is read a piece at a time, each window holding
// the next bytes of the line past its settled ones. The UTF-8 byte order
// mark that may open the text is dropped (it would glue itself to the
// first word).
class TextWindows {
 public:
  explicit TextWindows(DecodedLines& text) : text_(text) {}

  bool Next(LineWindow* window) {
    if (open_) {
      start_ += settled_;
      held_.erase(0, settled_);
    } else {
      held_.clear();  // the last window of the line before is read by now
      if (!NextLine(window)) return false;
      if (!open_) return true;
    }
    // Read on until the window holds the lookahead past a settled byte.
    window->first = first_;
    first_ = false;
    std::string_view piece;
    while (!line_ended_ && held_.size() <= LineWindow::kLookahead) {
      text_.Next(&piece, &line_ended_);
      held_.append(piece);
    }
    window->bytes = held_;
    window->start = start_;
    window->last = line_ended_;
    settled_ = line_ended_ ? held_.size() : held_.size() - LineWindow::kLookahead;
    window->settled = settled_;
    if (line_ended_) {
      open_ = false;
      start_ += settled_ + 1;
    }
    return true;
  }

 private:
  // Starts the next line: a line of one piece is its own window, taken
  // as it is.
  bool NextLine(LineWindow* window) {
    std::string_view piece;
    bool ended;
    if (!text_.Next(&piece, &ended)) return false;
    if (start_ == 0 && piece.starts_with(kByteOrderMark))
      piece.remove_prefix(kByteOrderMark.size());
    if (ended) {
      *window = {piece, piece.size(), start_, true, true};
      start_ += piece.size() + 1;
      return true;
    }
    held_.assign(piece);
    open_ = true;
    first_ = true;
    line_ended_ = false;
    return true;
  }

  DecodedLines& text_;
  uint64_t start_ = 0;  // of the next window's bytes in the text
  std::string held_;    // a long line's bytes from the next window on
  size_t settled_ = 0;  // of the last window of a long line
  bool open_ = false;   // a long line is being read
  bool first_ = false;  // its next window is its first
  bool line_ended_ = false;
};

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
  DecodedLines text(source_host, kTextBuffer, kKeptText, kLinePiece);
  MarkupRule markup;
  uint64_t most_bytes = 0;
  {
    TextWindows windows(text);
    uint64_t size = 0, angles = 0;
    for (LineWindow window; windows.Next(&window);) {
      markup.Record(window);
      const std::string_view settled = window.bytes.substr(0, window.settled);
      size += settled.size();
      angles += static_cast<uint64_t>(std::count(settled.begin(), settled.end(), '<'));
      if (!window.last) continue;
      most_bytes += MostPageBytes(size, angles);
      size = angles = 0;
    }
  }
  const bool read_as_windows_1252 = text.read_as_windows_1252();
  // Each page line of the text, as the page holds it. The rule's escapes
  // are read in order: it is made anew from the first pass for each pass.
  std::string escaped;
  auto for_each_page_line = [&](auto emit) {
    text.Rewind();
    MarkupRule rule = markup;
    TextWindows windows(text);
    PageLines lines;
    for (LineWindow window; windows.Next(&window);) {
      const std::string_view settled = window.bytes.substr(0, window.settled);
      std::string_view written = settled;
      if (settled.find('<') != std::string_view::npos) {
        escaped.clear();
        rule.Escape(window, &escaped);
        written = escaped;
      }
      if (window.first && window.last) {
        PageLines::OfLine(written, emit);
        continue;
      }
      lines.Feed(written, emit);
      if (window.last) lines.End(emit);
    }
  };
  // The parts are counted first where there may be more than one: their
  // names carry the digits of their number.
  int parts = 1;
  if (most_bytes > kLongestPart) {
    PartRule rule;
    auto take = [&](std::string_view line) { rule.Take(line.size()); };
    for_each_page_line(take);
    parts = rule.parts();
  }
  int part = 1;
  platform::LineWriter page;
  auto open_part = [&] {
    const std::string path = parts == 1 ? std::string(page_path) : PartPath(page_path, part, parts);
    page = platform::LineWriter(paths.Create(paths.ForWrite(path)));
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
  auto write = [&](std::string_view line) {
    if (rule.Take(line.size())) {
      close_part();
      ++part;
      open_part();
    }
    page.Line(line);
  };
  for_each_page_line(write);
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
