// The promotional page f_promote.htm and the promo block of 18 lines that
// the word index pages write again.
#pragma once

#include "common/lines.h"
#include "driver/run_context.h"

namespace params {

/// Writes the 18 lines of the promo block.
void WritePromoBlock(common::LineWriter& out);

/// Writes f_promote.htm (28 lines) and copies it into htm_in.
void WritePromotionalPage(driver::RunContext& run);

}  // namespace params
