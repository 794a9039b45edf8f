// Step 7 of the word list pipeline: the per-group lists. The groups are
// visited in order and the pages of a group in their group file order,
// each page with its records in wrd_08.txt order. Instead of reading
// wrd_08.txt once per page, each record is tagged with its page's ordinal
// (groups are consecutive runs of ordinals) and one file sort brings the
// records into that visiting order.
#include <string>

#include "common/bytes.h"
#include "common/lines.h"
#include "driver/conventions.h"
#include "words/file_sort.h"
#include "words/pipeline_steps.h"
#include "words/record_io.h"

namespace words {
namespace {

// Scratch files of this step only: wrd_08.txt tagged, and sorted.
constexpr std::string_view kTagged = "wrd_09.txt";
constexpr std::string_view kVisitOrder = "wrd_10.txt";

std::string GroupFileName(std::string_view stem, int group) {
  return std::string(stem) + std::to_string(group) + ".txt";
}

size_t DigitCount(size_t value) {
  size_t digits = 1;
  while (value >= 10) {
    value /= 10;
    ++digits;
  }
  return digits;
}

// Writes every record of wrd_08.txt to the tagged file, preceded by its
// page's ordinal in `width` zero-padded digits. Sorting the tagged lines
// orders them by ordinal and, within a page, by the record text, which is
// the wrd_08.txt order since that file is itself sorted.
void TagByPage(driver::RunContext& run, const PageGroups& groups, size_t width) {
  // wrd_08.txt: order key, id, page, line, column, word, id, occurrence.
  RecordReader in(run, "wrd_08.txt");
  common::LineWriter out = driver::CreateFile(run, kTagged);
  while (in.Next()) {
    auto hit = groups.ordinal.find(in.field(2));
    if (hit == groups.ordinal.end()) continue;
    out.Write(common::ZeroPad(static_cast<long long>(hit->second), width));
    out.Line(in.line());
  }
  out.Close();
}

// The two list files of the group being written.
struct GroupWriters {
  RecordWriter by_page;  // wrd_11_<g>.txt
  RecordWriter by_id;    // wrd_13_<g>.txt
};

// Closes group `group`'s lists and sorts them with the platform sort.
void FinishGroup(driver::RunContext& run, GroupWriters& writers, int group) {
  writers.by_page.Close();
  writers.by_id.Close();
  std::string g = std::to_string(group);
  driver::RunCommand(run, "sort wrd_11_" + g + ".txt /o wrd_12_" + g + ".txt");
  driver::RunCommand(run, "sort wrd_13_" + g + ".txt /o wrd_14_" + g + ".txt");
}

// Finishes the open group and opens the following ones up to `target`;
// groups in between (the empty last group) get their empty lists too.
void AdvanceTo(driver::RunContext& run, GroupWriters& writers, int& open, int target) {
  while (open < target) {
    if (open > 0) FinishGroup(run, writers, open);
    ++open;
    writers.by_page = RecordWriter(run, GroupFileName("wrd_11_", open));
    writers.by_id = RecordWriter(run, GroupFileName("wrd_13_", open));
  }
}

// Reads the records in visiting order and writes each to its group's
// lists and to wrd_15.txt; every group 1..G gets its lists and sorts.
void Distribute(driver::RunContext& run, const PageGroups& groups, size_t width) {
  RecordReader in(run, kVisitOrder);
  RecordWriter all(run, "wrd_15.txt");
  GroupWriters writers;
  int open = 0;
  while (in.Next(width)) {
    size_t ordinal = static_cast<size_t>(common::ParseDigits(in.line().substr(0, width)));
    if (ordinal >= groups.group_of.size()) continue;
    int group = groups.group_of[ordinal];
    AdvanceTo(run, writers, open, group);
    std::string_view id = in.field(1), page = in.field(2), line = in.field(3),
                     column = in.field(4), word = in.field(5), occurrence = in.field(7);
    writers.by_page.Write({page, line, column, word, id, occurrence});
    writers.by_id.Write({id, page, line, column, word, id, occurrence});
    std::string g = common::PadLeft(std::to_string(group), /*width=*/5);
    all.Write({id, g, page, line, column, word, occurrence});
  }
  AdvanceTo(run, writers, open, groups.group_count);
  if (open > 0) FinishGroup(run, writers, open);
  all.Close();
}

}  // namespace

void WriteGroupLists(driver::RunContext& run, const PageGroups& groups) {
  const size_t width = DigitCount(groups.group_of.size());
  TagByPage(run, groups, width);
  SortFile(run, kTagged, kVisitOrder);
  Distribute(run, groups, width);
  RemoveWorkFile(run, kTagged);
  RemoveWorkFile(run, kVisitOrder);
}

}  // namespace words
