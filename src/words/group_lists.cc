// Step 7 of the word list pipeline: the per-group lists. The groups are
// visited in order, the pages of a group in their group file order, and
// each page's records in wrd_08.txt order.
//
// Instead of reading wrd_08.txt through once per page, the step reads
// wrd_07.txt once. Its records come page by page, in the order in which
// the pages were numbered into groups (every line of a page starts with
// the same quoted page field, and wrd_07.txt is in sorted page order), and
// wrd_08.txt is wrd_07.txt sorted: so a page's records in wrd_08.txt order
// are that page's wrd_07.txt lines, sorted. Each page is sorted in memory,
// or by the file sort when it outgrows one sort run. The platform sorts of
// the group lists follow the pass.
#include <algorithm>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "common/lines.h"
#include "common/record.h"
#include "driver/conventions.h"
#include "words/file_sort.h"
#include "words/pipeline_steps.h"
#include "words/record_io.h"

namespace words {
namespace {

// Work files of this step only: a page too large to sort in memory, and
// the same sorted.
constexpr std::string_view kLargePage = "wrd_09.txt";
constexpr std::string_view kLargePageSorted = "wrd_10.txt";

std::string GroupFileName(std::string_view stem, int group) {
  return std::string(stem) + std::to_string(group) + ".txt";
}

// The wrd_07.txt lines of one page, kept in memory up to one sort run's
// bytes and spilled to a work file beyond that.
class PageLines {
 public:
  explicit PageLines(driver::RunContext& run)
      : run_(run), limit_(std::max<size_t>(run.sort_run_bytes, 1)) {}

  void Add(std::string_view line) {
    if (bytes_.capacity() < limit_) bytes_.reserve(limit_);
    if (!spilled_ && bytes_.size() + line.size() > limit_ && !ends_.empty()) Spill();
    if (spilled_) {
      spill_.Line(line);
      return;
    }
    bytes_.append(line);
    ends_.push_back(bytes_.size());
  }

  // Calls `take` with each line in byte order, then starts empty.
  template <typename Take>
  void TakeSorted(Take take) {
    if (spilled_) {
      TakeSpilled(take);
      return;
    }
    std::vector<std::string_view> lines;
    lines.reserve(ends_.size());
    size_t begin = 0;
    for (size_t end : ends_) {
      lines.emplace_back(bytes_.data() + begin, end - begin);
      begin = end;
    }
    std::stable_sort(lines.begin(), lines.end());
    for (std::string_view line : lines) take(line);
    bytes_.clear();
    ends_.clear();
  }

 private:
  void Spill() {
    spill_ = driver::CreateFile(run_, kLargePage);
    size_t begin = 0;
    for (size_t end : ends_) {
      spill_.Line(std::string_view(bytes_).substr(begin, end - begin));
      begin = end;
    }
    bytes_.clear();
    ends_.clear();
    spilled_ = true;
  }

  template <typename Take>
  void TakeSpilled(Take take) {
    spill_.Close();
    SortFile(run_, kLargePage, kLargePageSorted);
    {
      common::LineReader sorted = driver::OpenListing(run_, kLargePageSorted);
      std::string_view line;
      while (sorted.Next(&line)) take(line);
    }
    RemoveWorkFile(run_, kLargePage);
    RemoveWorkFile(run_, kLargePageSorted);
    spilled_ = false;
  }

  driver::RunContext& run_;
  size_t limit_;
  std::string bytes_;
  std::vector<size_t> ends_;
  common::LineWriter spill_;
  bool spilled_ = false;
};

// The list files of the group being written, and wrd_15.txt.
struct GroupWriters {
  RecordWriter by_page;  // wrd_11_<g>.txt
  RecordWriter by_id;    // wrd_13_<g>.txt
  RecordWriter all;      // wrd_15.txt
  int open = 0;          // the group whose lists are open; 0 before the first
  std::vector<std::string_view> fields;
};

// Closes the open group's lists and opens those of the following groups up
// to `target`; groups in between (the empty last group) get empty lists.
void AdvanceTo(driver::RunContext& run, GroupWriters& writers, int target) {
  while (writers.open < target) {
    writers.by_page.Close();
    writers.by_id.Close();
    ++writers.open;
    writers.by_page = RecordWriter(run, GroupFileName("wrd_11_", writers.open));
    writers.by_id = RecordWriter(run, GroupFileName("wrd_13_", writers.open));
  }
}

// Writes one page's records, in wrd_08.txt order, to its group's lists.
void WritePage(driver::RunContext& run, const PageGroups& groups, std::string_view page,
               PageLines& lines, GroupWriters& writers) {
  auto hit = groups.ordinal.find(page);
  int group = hit == groups.ordinal.end() ? 0 : groups.group_of[hit->second];
  AdvanceTo(run, writers, group);
  const std::string g = common::PadLeft(std::to_string(group), /*width=*/5);
  lines.TakeSorted([&](std::string_view line) {
    if (group == 0) return;
    // wrd_07.txt: order key, id, page, line, column, word, id, occurrence.
    common::SplitRecord(line, &writers.fields);
    writers.fields.resize(8);
    const auto& f = writers.fields;
    writers.by_page.Write({f[2], f[3], f[4], f[5], f[1], f[7]});
    writers.by_id.Write({f[1], f[2], f[3], f[4], f[5], f[1], f[7]});
    writers.all.Write({f[1], g, f[2], f[3], f[4], f[5], f[7]});
  });
}

// Reads wrd_07.txt page by page and writes the group lists and wrd_15.txt.
void WriteLists(driver::RunContext& run, const PageGroups& groups) {
  RecordReader in(run, "wrd_07.txt");
  GroupWriters writers;
  writers.all = RecordWriter(run, "wrd_15.txt");
  PageLines lines(run);
  std::string page;
  bool any = false;
  while (in.Next()) {
    std::string_view record_page = in.field(2);
    if (!any || record_page != page) {
      if (any) WritePage(run, groups, page, lines, writers);
      page.assign(record_page);
      any = true;
    }
    lines.Add(in.line());
  }
  if (any) WritePage(run, groups, page, lines, writers);
  AdvanceTo(run, writers, groups.group_count);
  writers.by_page.Close();
  writers.by_id.Close();
  writers.all.Close();
}

}  // namespace

void WriteGroupLists(driver::RunContext& run, const PageGroups& groups) {
  WriteLists(run, groups);
  // The platform sorts run once the pass has let go of its page buffer.
  for (int group = 1; group <= groups.group_count; ++group) {
    std::string g = std::to_string(group);
    driver::RunCommand(run, "sort wrd_11_" + g + ".txt /o wrd_12_" + g + ".txt");
    driver::RunCommand(run, "sort wrd_13_" + g + ".txt /o wrd_14_" + g + ".txt");
  }
}

}  // namespace words
