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

/// The typed answer without what a terminal's editing keys put into it:
/// escape sequences (ESC, `[` or `O`, bytes 0x20-0x3F, then up to and
/// including one byte 0x40-0x7E) and every other byte below 0x20 or 0x7F.
std::string DropEditingKeys(std::string_view typed);

/// Removes htm_out (emptied first) when it is there, before the prompt.
void RemoveOutputFolder(runctx::RunContext& run);

/// Shows the targeted-search prompt and sets the destination address: the
/// typed item as UTF-8, its bytes outside valid UTF-8 read as Windows-1252.
void AskDestination(runctx::RunContext& run);

/// Makes htm_in and htm_out after the prompt and checks, in one long
/// listing, that both are there; the screen "subfolders htm_in, htm_out
/// must be created" ends the program otherwise.
void CreateIndexFolders(runctx::RunContext& run);

/// Writes the 45-line catalogue to publisher_para.txt, reads it back in two
/// passes, prints the settings screen, fixes the settings in force and
/// clears the screen.
void ShowSettings(runctx::RunContext& run);

}  // namespace params
