// The promo block: 18 fixed lines that the promotional page f_promote.htm
// holds and that every word index page writes again at its top and foot.
#pragma once

#include "platform/lines.h"

namespace runctx {

/// Writes the 18 lines of the promo block.
void WritePromoBlock(platform::LineWriter& out);

}  // namespace runctx
