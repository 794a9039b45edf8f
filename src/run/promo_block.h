// The promo block: 18 fixed lines that the promotional page f_promote.htm
// holds and that every word index page writes again at its top and foot.
#pragma once

#include <string>
#include <vector>

namespace runctx {

/// The 18 lines of the promo block, in order.
std::vector<std::string> PromoBlockLines();

}  // namespace runctx
