// Input collection: the text files of txt_in copied into txt_wrk and
// renamed to names safe in command lines and links.
#pragma once

#include "driver/run_context.h"

namespace input {

/// Copies txt_in\*.txt into txt_wrk and renames each copy to its sanitized
/// name (writes txt_wrk.list); no input is lost or merged.
void CollectInput(driver::RunContext& run);

}  // namespace input
