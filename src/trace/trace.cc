// The trace file. It is opened, and so emptied, when the user has made the
// folder trace; the run writes nothing into it.
#include "trace/trace.h"

#include <optional>

#include "platform/lines.h"
#include "platform/paths.h"
#include "run/commands.h"
#include "run/work_files.h"

namespace trace {

void OpenTrace(runctx::RunContext& run) {
  std::optional<platform::HostPath> folder = run.paths.Resolve(runctx::kTraceFolder);
  if (!folder || !platform::IsDirectory(*folder)) return;
  // A trace file that cannot be opened (a folder without write permission,
  // a link leading out of the program's folder) is passed over in silence,
  // like a missing folder: the run needs nothing from it.
  try {
    platform::LineWriter file = runctx::CreateFile(run, runctx::kTraceFile);
    file.Close();
  } catch (const common::IoError&) {
  }
}

}  // namespace trace
