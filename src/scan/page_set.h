// Page set assembly: the pages of htm_in cleaned and numbered page_<n>.htm
// in the program's folder, the promotional page first.
#pragma once

#include "driver/run_context.h"

namespace scan {

/// Lists htm_in (dir_02.txt, dir_03.txt, dir_01.txt), sets the page number
/// width, writes each cleaned page <base>_01.htm and its numbered copy, and
/// prints an empty line and "processed 1%".
void AssemblePageSet(driver::RunContext& run);

}  // namespace scan
