#include "input/collect.h"

namespace input {

void CollectInput(driver::RunContext& /*run*/) {}

}  // namespace input
