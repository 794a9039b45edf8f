// Page set assembly. The pages of htm_in are listed, put in order with the
// promotional page first and cleaned line by line into their numbered
// pages page_<n>.htm.
#include "scan/page_set.h"

#include <array>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/bytes.h"
#include "common/parallel.h"
#include "platform/lines.h"
#include "platform/paths.h"
#include "run/clean_up.h"
#include "run/commands.h"
#include "run/screens.h"
#include "run/work_files.h"

namespace scan {
namespace {

// Read buffer of an input page being cleaned.
constexpr size_t kPageBuffer = size_t{1} << 16;

// dir_01.txt: the promotional page, then the sorted names of htm_in in
// lower case. Only a name equal to the promotional page's is passed over, so
// a page such as my_f_promote.htm keeps its place in the set.
void WritePageOrder(runctx::RunContext& run) {
  platform::LineWriter order = runctx::CreateFile(run, runctx::kDir01);
  order.Line(runctx::kPromotionalPage);
  platform::LineReader sorted = runctx::OpenListing(run, runctx::kDir03);
  std::string_view line;
  while (sorted.Next(&line)) {
    std::string name = common::Lower(line);
    if (name == runctx::kPromotionalPage) continue;
    order.Line(name);
  }
  sorted.Close();
  order.Close();
}

long long CountPages(runctx::RunContext& run) {
  platform::LineReader order = runctx::OpenListing(run, runctx::kDir01);
  long long count = 0;
  std::string_view line;
  while (order.Next(&line)) {
    if (common::Contains(common::Lower(line), ".htm")) ++count;
  }
  return count;
}

// Writes the cleaned page of htm_in\<name> to `page`. Table mode starts
// off on every page, so a table left open on one page cannot swallow the
// next.
void CleanPage(platform::Paths& paths, const platform::HostPath& source,
               const platform::HostPath& page) {
  platform::LineWriter out(paths.Create(page));
  platform::LineReader in(source, kPageBuffer);
  bool table_mode = false;
  std::string text;
  std::string_view line;
  while (in.Next(&line)) {
    if (CleanLine(line, &table_mode, &text)) out.Line(text);
  }
  in.Close();
  out.Close();
}

// Cleans every listed page of htm_in straight into its numbered page, the
// pages side by side on all cores.
void NumberPages(runctx::RunContext& run) {
  platform::LineReader order = runctx::OpenListing(run, runctx::kDir01);
  std::vector<std::pair<platform::HostPath, platform::HostPath>> pages;
  long long number = 0;
  std::string_view line;
  while (order.Next(&line)) {
    std::string name = common::Lower(line);
    if (name.find(".htm") == std::string::npos) continue;
    ++number;
    std::string page = runctx::PageFile(common::ZeroPad(number, run.page_number_width));
    pages.emplace_back(run.paths.ForRead(runctx::Cmd(runctx::kHtmIn, "\\", name)),
                       run.paths.ForWrite(page));
  }
  common::ParallelFor(pages.size(), run.threads,
                      [&](size_t i) { CleanPage(run.paths, pages[i].first, pages[i].second); });
}

}  // namespace

bool CleanLine(std::string_view line, bool* table_mode, std::string* out) {
  out->clear();
  std::string_view text = common::TrimRight(line);
  std::string_view trimmed = common::TrimLeft(text);
  // Only the wrapper lines of the converted page go; a text line that
  // mentions "<pre>" is the user's text and stays.
  if (trimmed == "<pre>" || trimmed == "</pre>") return false;
  if (common::FindNoCase(trimmed, "<table ") != std::string_view::npos) *table_mode = true;
  if (common::FindNoCase(trimmed, "</table") != std::string_view::npos) *table_mode = false;
  if (*table_mode) {
    out->assign(text);
    return true;
  }
  // Leading spaces are made visible and stay; a line that had any starts
  // with "&nbsp;" and so always gets its own "<br>".
  const size_t leading = text.size() - trimmed.size();
  if (leading > 0 || trimmed.substr(0, 4) != "<br>") out->append("<br>");
  for (size_t k = 0; k < leading; ++k) out->append("&nbsp;");
  // Tab, vertical tab, form feed and CR separate words as a blank does;
  // the other control bytes below 16 go. The bytes between control bytes
  // (most often the whole line) are copied as one piece.
  size_t from = 0;
  for (size_t at = 0; at < text.size(); ++at) {
    const auto c = static_cast<unsigned char>(text[at]);
    if (c >= 16) continue;
    out->append(text.substr(from, at - from));
    if (c == '\t' || c == '\v' || c == '\f' || c == '\r') out->push_back(' ');
    from = at + 1;
  }
  out->append(text.substr(from));
  return true;
}

int PageNumberWidth(long long page_count) {
  int width = 2;
  long long limit = 10;
  while (page_count > limit && width < 8) {
    limit *= 10;
    ++width;
  }
  return width;
}

void AssemblePageSet(runctx::RunContext& run) {
  using runctx::Cmd, runctx::kDir02, runctx::kDir03, runctx::kHtmIn;
  runctx::RunCommand(run, Cmd("dir /b ", kHtmIn, "\\*.htm* > ", kDir02));
  runctx::RunCommand(run, Cmd("sort ", kDir02, " /o ", kDir03));
  WritePageOrder(run);
  run.page_number_width = PageNumberWidth(CountPages(run));
  NumberPages(run);
  runctx::RemoveReadUpTo(run, runctx::LastReader::kPageSet);
  run.console.Line();
  runctx::Progress(run, 1);
}

}  // namespace scan
