// Word extraction: every word of three or more bytes of every numbered page
// becomes one word record of wrd_01.txt.
//
// wrd_01.txt, one record per word occurrence (fields quoted, separated by
// commas, CR LF): the word, the page name in lower case, the line number
// right-aligned in 10 characters, the byte position right-aligned in 6, and
// the word again. Example: "Hello,","page_02.htm","         7","     5","Hello,"
//
// page_<n>.txt, the extraction listing of page_<n>.htm: for every scanned
// line a rule of 49 "=", the line itself, then one line per word taken (the
// scan position in a 14-column print zone, then the word).
#pragma once

#include "driver/run_context.h"

namespace scan {

/// Lists the numbered pages into dir_02.txt, writes wrd_01.txt and one
/// extraction listing page_<n>.txt per page, then prints "processed 10%".
void ExtractWords(driver::RunContext& run);

}  // namespace scan
