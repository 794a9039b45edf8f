// Parameters: the targeted-search prompt (the destination address) and the
// settings catalogue publisher_para.txt with its settings screen.
#pragma once

#include <string>
#include <string_view>

#include "run/run_context.h"

namespace params {

/// Reads one input item from an answer line: leading blanks and tabs
/// skipped, the first comma ends it, a leading double quote runs to the next
/// one (or the end of the line), at most 4096 bytes.
std::string ReadInputItem(std::string_view line);

/// Shows the targeted-search prompt and sets the destination address.
void AskDestination(runctx::RunContext& run);

/// Writes the 45-line catalogue to publisher_para.txt, reads it back in two
/// passes, prints the settings screen, fixes the settings in force and
/// clears the screen.
void ShowSettings(runctx::RunContext& run);

}  // namespace params
