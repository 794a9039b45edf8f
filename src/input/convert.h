// Text-to-page conversion: each text file of txt_wrk becomes one page of
// htm_wrk, its lines inside a preformatted block; the pages are listed,
// confirmed and copied into htm_in and htm_ndx\htm_in.
#pragma once

#include "driver/run_context.h"

namespace input {

/// Writes htm_wrk\<name>.htm for each listed text file (at most the input
/// count), shows the listing screen and its continue-or-end prompt, then
/// copies the pages into htm_in and htm_ndx\htm_in.
void ConvertTexts(driver::RunContext& run);

}  // namespace input
