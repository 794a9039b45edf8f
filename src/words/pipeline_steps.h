// The steps of the word list pipeline, one function each, in the order the
// pipeline runs them. Each reads the work file the step before it left and
// writes its own; the page groups are the one value handed on in memory.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "driver/run_context.h"
#include "words/record_io.h"

namespace words {

/// The pages that hold words, numbered 0, 1, ... in order of first
/// appearance in wrd_07.txt, with the group of each.
struct PageGroups {
  std::unordered_map<std::string, size_t, ViewHash, std::equal_to<>> ordinal;
  std::vector<int> group_of;  // by ordinal
  int group_count = 0;        // G
};

/// wrd_01.txt -> wrd_01_01.txt: lc word, page, line, word, column, word;
/// words holding "&nbsp;" in any case are dropped.
void WriteLowerCaseList(driver::RunContext& run);

/// wrd_01_02.txt -> wrd_03.txt: page, line, column, word, word id. The id
/// is the 0-based position of the word's first record in the sorted list.
void NumberWords(driver::RunContext& run);

/// wrd_03.txt -> wrd_04.txt: the record plus its occurrence number, only
/// for records whose page and id have their expected form.
void NumberOccurrences(driver::RunContext& run);

/// wrd_05.txt -> wrd_06.txt: the records whose page and id have their
/// expected form, unchanged.
void KeepPageRecords(driver::RunContext& run);

/// wrd_06.txt -> wrd_07.txt: order key, id, page, line, column, word, id,
/// occurrence; the key puts the highest occurrence numbers first.
void KeyByOccurrence(driver::RunContext& run);

/// wrd_07.txt -> group_page_all.txt and group_search_<g>.txt: the pages in
/// order of first appearance, run.input_count pages per group.
PageGroups DividePages(driver::RunContext& run);

/// wrd_11_<g>.txt, wrd_13_<g>.txt and wrd_15.txt: the records of wrd_08.txt
/// page by page in group order, read from wrd_07.txt (of which wrd_08.txt
/// is the sorted form); then the platform sorts into wrd_12_<g>.txt and
/// wrd_14_<g>.txt.
void WriteGroupLists(driver::RunContext& run, const PageGroups& groups);

/// wrd_03.txt, wrd_12_<g>.txt -> wrd_24_<g>.txt with the next page of
/// every occurrence.
void WriteNextPages(driver::RunContext& run, int group_count);

}  // namespace words
