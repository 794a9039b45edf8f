// Word extraction: every word of three or more bytes of every numbered page
// becomes one occurrence of the run's word data, with its page, line and
// byte position. Pages are scanned in pieces of whole lines on all cores;
// their words are then taken in page order, so that every occurrence gets
// its number among the occurrences of its word: words compared in lower
// case, counted page by page, line by line, and within a line by the word
// as written, then by position. Words holding "&nbsp;" (any case) are
// dropped.
#pragma once

#include "run/run_context.h"

namespace scan {

/// Lists the numbered pages into dir_02.txt, scans them and fills the run's
/// word data (forms, words, pages, occurrence numbers, page words, groups
/// of the pages), then prints "processed 10%".
void ExtractWords(runctx::RunContext& run);

}  // namespace scan
