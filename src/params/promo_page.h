// The promotional page f_promote.htm: the promo block in a page of its own,
// indexed as page 1.
#pragma once

#include "run/run_context.h"

namespace params {

/// Writes f_promote.htm (28 lines) and copies it into htm_in.
void WritePromotionalPage(runctx::RunContext& run);

}  // namespace params
