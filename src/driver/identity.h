// Program identity: the program name fixed at build time, the executable
// name and site stem derived from it, and the target site to which the
// web-search links are restricted.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "run/run_context.h"

namespace driver {

/// The target site for an executable name: "www.", "http://" or "https://"
/// and the host text after the last such prefix; nullopt when the name has
/// none of "www.", "http.", "https.".
std::optional<std::string> DeriveTargetSite(std::string_view executable_name);

/// Start-up: "chcp", the program name, the program's path, the target site
/// and the banner. Sets the identity values of the run. A name without a
/// site prefix shows the rename instructions and ends the program.
void StartUp(runctx::RunContext& run);

/// Prints the full path of the running program on a line of its own.
void PrintProgramPath(runctx::RunContext& run);

}  // namespace driver
