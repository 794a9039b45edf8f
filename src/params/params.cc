#include "params/params.h"

namespace params {

std::string ReadInputItem(std::string_view line) { return std::string(line); }

void AskDestination(driver::RunContext& /*run*/) {}

void ShowSettings(driver::RunContext& /*run*/) {}

}  // namespace params
