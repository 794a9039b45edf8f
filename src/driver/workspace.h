// The workspace folders: the output folder emptied, the input checked, the
// work folders recreated, the leftovers of earlier runs removed.
#pragma once

#include "run/run_context.h"

namespace driver {

/// Empties htm_out and checks that txt_in holds "*.txt" names (writes
/// txt_file.txt); "Subfolder txt_in is empty" ends the program otherwise.
void PrepareOutputAndInput(runctx::RunContext& run);

/// Recreates htm_in, sets the input count from txt_file.list, and creates or
/// empties txt_wrk and htm_wrk, with their failure screens.
void PrepareWorkFolders(runctx::RunContext& run);

/// Deletes every *.htm*, *.list and *.txt of the program's folder (but the
/// open dir_01.txt) and every file of htm_out.
void CleanLeftovers(runctx::RunContext& run);

}  // namespace driver
