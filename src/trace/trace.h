// The trace file trace\file_trace.txt, kept only when the user made the
// trace folder.
#pragma once

#include "run/run_context.h"

namespace trace {

/// Opens (and so empties) trace\file_trace.txt when the folder trace exists;
/// creates nothing otherwise.
void OpenTrace(runctx::RunContext& run);

}  // namespace trace
