#include "input/convert.h"

namespace input {

void ConvertTexts(driver::RunContext& /*run*/) {}

}  // namespace input
