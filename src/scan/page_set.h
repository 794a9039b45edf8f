// Page set assembly: the pages of htm_in cleaned and numbered page_<n>.htm
// in the program's folder, the promotional page first.
//
// Work files: dir_02.txt (bare names in htm_in), dir_03.txt (the same,
// sorted), dir_01.txt (the page order: "f_promote.htm", then the sorted
// names in lower case) and the numbered pages page_<n>.htm.
#pragma once

#include <string>
#include <string_view>

#include "run/run_context.h"

namespace scan {

/// Lists htm_in (dir_02.txt, dir_03.txt, dir_01.txt), sets the page number
/// width, writes each cleaned page as its numbered page page_<n>.htm, and
/// prints an empty line and "processed 1%".
void AssemblePageSet(runctx::RunContext& run);

/// Cleans one line of an input page into `out` for display and word
/// extraction: the "<pre>" and "</pre>" wrapper lines are dropped (returns
/// false), lines of a table are copied with only their trailing spaces
/// removed, every other line gets "<br>" in front, "&nbsp;" for each leading
/// space, its tabs, vertical tabs, form feeds and CRs as blanks, and loses
/// its other bytes below 16. `table_mode` carries the table state from line
/// to line of one page.
bool CleanLine(std::string_view line, bool* table_mode, std::string* out);

/// Digits of the page numbers for `page_count` pages: 2 up to 10 pages, 3 up
/// to 100, and so on, at most 8.
int PageNumberWidth(long long page_count);

}  // namespace scan
