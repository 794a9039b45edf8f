// Word extraction: every word of three or more bytes of every numbered page
// becomes one word record of wrd_01.txt.
#pragma once

#include "driver/run_context.h"

namespace scan {

/// Lists the numbered pages into dir_02.txt, writes wrd_01.txt and one
/// extraction listing page_<n>.txt per page, then prints "processed 10%".
void ExtractWords(driver::RunContext& run);

}  // namespace scan
