#include "params/promote.h"

namespace params {

void WritePromoBlock(common::LineWriter& /*out*/) {}

void WritePromotionalPage(driver::RunContext& /*run*/) {}

}  // namespace params
