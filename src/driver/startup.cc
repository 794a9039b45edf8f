#include "driver/startup.h"

namespace driver {

void ShowInstructions(RunContext& /*run*/) {}

void CheckTools(RunContext& /*run*/) {}

}  // namespace driver
