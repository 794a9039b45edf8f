// Publishing: the finished pages copied into htm_out, every work file and
// work folder removed, and the results screen.
#pragma once

#include "run/run_context.h"

namespace publish {

/// "processed 90%", the copies into htm_out, the clean-up, "processed 100%",
/// the results screen and its key prompt (which ends the program).
void Publish(runctx::RunContext& run);

}  // namespace publish
