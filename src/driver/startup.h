// The two instruction screens and the checks that the interpreter and the
// find, findstr and sort tools can be run.
#pragma once

#include "run/run_context.h"

namespace driver {

/// The font screen and the installation screen, each closed by a
/// continue-or-end prompt ("2" ends the program before any file is written).
void ShowInstructions(runctx::RunContext& run);

/// Runs the four tool checks in order, writing check_01.txt and
/// check_02.txt; a failing check shows its screen and ends the program.
void CheckTools(runctx::RunContext& run);

}  // namespace driver
