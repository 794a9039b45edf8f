// The word list pipeline, steps 1 to 6 and the sequence of all steps.
// Every step streams its input once; only the distinct pages are held in
// memory (for the groups).
#include "words/pipeline.h"

#include <string>

#include "common/bytes.h"
#include "driver/conventions.h"
#include "words/file_sort.h"
#include "words/pipeline_steps.h"
#include "words/record_io.h"

namespace words {

void WriteLowerCaseList(driver::RunContext& run) {
  RecordReader in(run, "wrd_01.txt");
  RecordWriter out(run, "wrd_01_01.txt");
  std::string lower;
  while (in.Next()) {
    LowerInto(in.field(0), &lower);
    if (common::Contains(lower, "&nbsp;")) continue;
    out.Write({lower, in.field(1), in.field(2), in.field(0), in.field(3), in.field(4)});
  }
  out.Close();
}

void NumberWords(driver::RunContext& run) {
  // wrd_01_02.txt: lc word, page, line, word, column, word.
  RecordReader in(run, "wrd_01_02.txt");
  RecordWriter out(run, "wrd_03.txt");
  std::string previous;
  std::string id;
  long long number = 0;
  while (in.Next()) {
    // The sort keeps the case variants of a word together, so a change of
    // the lc word starts the next word.
    if (number == 0 || in.field(0) != previous) {
      id = WordId(number);
      previous.assign(in.field(0));
    }
    out.Write({in.field(1), in.field(2), in.field(4), in.field(3), id});
    ++number;
  }
  out.Close();
}

void NumberOccurrences(driver::RunContext& run) {
  // wrd_03.txt: page, line, column, word, id.
  RecordReader in(run, "wrd_03.txt");
  RecordWriter out(run, "wrd_04.txt");
  std::string previous;
  long long counter = 0;
  bool first = true;
  while (in.Next()) {
    std::string_view id = in.field(4);
    if (first) previous.assign(id);
    first = false;
    ++counter;
    if (id != previous) counter = 1;
    if (common::Contains(in.field(0), "page_") && common::Contains(id, "id")) {
      std::string occurrence = std::to_string(counter);
      out.Write({in.field(0), in.field(1), in.field(2), in.field(3), id, occurrence});
    }
    previous.assign(id);
  }
  out.Close();
}

void KeepPageRecords(driver::RunContext& run) {
  RecordReader in(run, "wrd_05.txt");
  RecordWriter out(run, "wrd_06.txt");
  while (in.Next()) {
    bool page_form = common::FindNoCase(in.field(0), "page_") != std::string_view::npos;
    if (page_form && common::Contains(in.field(4), "id")) out.Line(in.line());
  }
  out.Close();
}

namespace {

// 100000000 minus the occurrence number, eight digits, so that an ascending
// sort lists the highest occurrence numbers first. A key that would be 0 or
// less is replaced by the occurrence text itself.
std::string OrderKey(std::string_view occurrence) {
  long long key = 100000000 - common::ParseDigits(occurrence);
  if (key <= 0) return std::string(occurrence);
  return common::ZeroPad(key, /*width=*/8);
}

std::string GroupSearchName(int group) {
  return "group_search_" + std::to_string(group) + ".txt";
}

}  // namespace

void KeyByOccurrence(driver::RunContext& run) {
  // wrd_06.txt: page, line, column, word, id, occurrence.
  RecordReader in(run, "wrd_06.txt");
  RecordWriter out(run, "wrd_07.txt");
  while (in.Next()) {
    std::string key = OrderKey(in.field(5));
    out.Write({key, in.field(4), in.field(0), in.field(1), in.field(2), in.field(3), in.field(4),
               in.field(5)});
  }
  out.Close();
}

PageGroups DividePages(driver::RunContext& run) {
  // wrd_07.txt: order key, id, page, ...; its records come page by page.
  RecordReader in(run, "wrd_07.txt");
  common::LineWriter all = driver::CreateFile(run, "group_page_all.txt");
  RecordWriter group_file;
  PageGroups groups;
  int group = 0;
  int counter = 0;
  std::string last_page;
  while (in.Next()) {
    std::string_view page = in.field(2);
    if (group > 0 && page == last_page) continue;
    if (groups.ordinal.find(page) != groups.ordinal.end()) continue;
    if (group == 0) {
      group = 1;
      group_file = RecordWriter(run, GroupSearchName(group));
    }
    last_page.assign(page);
    group_file.Write({page});
    all.Line(page);
    groups.ordinal.emplace(last_page, groups.group_of.size());
    groups.group_of.push_back(group);
    // A full group closes at once, so a page count that is a multiple of
    // the group size leaves a last, empty group file that still counts.
    if (++counter == run.input_count) {
      group_file.Close();
      counter = 0;
      ++group;
      group_file = RecordWriter(run, GroupSearchName(group));
    }
  }
  group_file.Close();
  all.Close();
  groups.group_count = group;
  return groups;
}

void BuildWordLists(driver::RunContext& run) {
  // "processed 10%" closes the word extraction before this phase starts.
  WriteLowerCaseList(run);
  SortFile(run, "wrd_01_01.txt", "wrd_01_02.txt");
  driver::Progress(run, 20);
  NumberWords(run);
  NumberOccurrences(run);
  SortFile(run, "wrd_04.txt", "wrd_05.txt");
  KeepPageRecords(run);
  KeyByOccurrence(run);
  SortFile(run, "wrd_07.txt", "wrd_08.txt");
  driver::Progress(run, 30);
  PageGroups groups = DividePages(run);
  run.group_count = groups.group_count;
  SortFile(run, "group_page_all.txt", "group_page_all_sort.txt");
  driver::Progress(run, 40);
  WriteGroupLists(run, groups);
  WriteNextPages(run, groups.group_count);
  driver::Progress(run, 50);
}

}  // namespace words
