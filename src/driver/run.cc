#include "driver/run.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "common/limits.h"
#include "common/parallel.h"
#include "driver/identity.h"
#include "driver/startup.h"
#include "driver/workspace.h"
#include "input/collect.h"
#include "input/convert.h"
#include "pages/group_pass.h"
#include "pages/main_index.h"
#include "params/params.h"
#include "params/promo_page.h"
#include "platform/lines.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/run_lock.h"
#include "publish/publish.h"
#include "run/run_context.h"
#include "run/screens.h"
#include "run/test_hooks.h"
#include "scan/extract.h"
#include "scan/page_set.h"
#include "trace/trace.h"
#include "words/word_ids.h"

namespace driver {
namespace {

// Runs one phase: arms the kill point of the interruption tests as its
// phase begins, and times it on the error stream when the phase times are
// asked for; the console shows nothing more otherwise.
class PhaseRunner {
 public:
  PhaseRunner(runctx::RunContext& run, runctx::TestHooks& hooks) : run_(run), hooks_(hooks) {}

  template <typename Phase>
  void operator()(const char* name, Phase phase) {
    if (hooks_.StartPhase(name)) run_.step_hooks = &hooks_;
    auto start = std::chrono::steady_clock::now();
    try {
      phase(run_);
    } catch (const runctx::RunEnded&) {
      Report(name, start);  // the last phase ends the run at its key prompt
      throw;
    }
    Report(name, start);
  }

 private:
  void Report(const char* name, std::chrono::steady_clock::time_point start) {
    if (!hooks_.phase_times()) return;
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    run_.console.Error("phase " + std::string(name) + " " + std::to_string(took.count()) +
                       " s, peak " + std::to_string(platform::PeakMemoryKb() / 1024) + " MB");
  }

  runctx::RunContext& run_;
  runctx::TestHooks& hooks_;
};

void RunPhases(runctx::RunContext& run, runctx::TestHooks& hooks) {
  PhaseRunner phase(run, hooks);
  phase("identity", StartUp);
  phase("startup", [](runctx::RunContext& r) {
    ShowInstructions(r);
    CheckTools(r);
  });
  phase("workspace", [](runctx::RunContext& r) {
    PrepareOutputAndInput(r);
    PrepareWorkFolders(r);
  });
  phase("collect", input::CollectInput);
  phase("convert", input::ConvertTexts);
  phase("leftovers", [](runctx::RunContext& r) {
    PrintProgramPath(r);
    CleanLeftovers(r);
  });
  phase("trace", trace::OpenTrace);
  phase("params", [](runctx::RunContext& r) {
    params::RemoveOutputFolder(r);
    params::AskDestination(r);
    params::CreateIndexFolders(r);
    params::ShowSettings(r);
  });
  phase("promote", params::WritePromotionalPage);
  phase("page_set", scan::AssemblePageSet);
  phase("extract", scan::ExtractWords);
  phase("word_ids", words::AssignWordIds);
  phase("group_pages", pages::WriteGroupPages);
  phase("main_index", pages::WriteMainIndex);
  phase("publish", publish::Publish);
}

// A hard I/O failure: the run cannot go on; say which file and why. The
// file is named as the program names it, whichever layer raised the failure
// and however that layer held the path.
void ShowIoError(runctx::RunContext& run, const common::IoError& error) {
  run.console.Line();
  run.console.Line(runctx::Rule(runctx::kScreenRule));
  run.console.Line("The run stopped: a file could not be written.");
  run.console.Line("file: " + platform::ShownName(run.paths.ProgramForm(error.path())));
  run.console.Line("reason: " + error.reason());
  run.console.Line("htm_out holds no complete document base; the files this run made are removed.");
  run.console.Line(runctx::Rule(runctx::kScreenRule));
  run.console.Line();
  run.console.Line("<...> any key to continue and end");
  run.console.ReadKey();
}

}  // namespace

int Main(int argc, char** argv, std::string_view program_name) {
  // First of all: no file the run opens may take the place of a closed
  // standard stream (the folder lock on descriptor 0 would answer prompts).
  platform::OpenStandardStreams();
  platform::Console console = platform::Console::Standard();
  runctx::TestHooks hooks = runctx::TestHooks::FromEnvironment();
  // Index pages dated by a clock the calendar cannot show: refused before
  // any file is touched.
  if (std::optional<std::string> problem = platform::CheckSourceDateEpoch()) {
    console.Error(*problem);
    return 1;
  }
  // The program works in its own folder, whatever folder it was started
  // from; nothing is made or deleted in the current folder. Where the host
  // cannot tell which folder that is, the run does not guess.
  std::string program_path = platform::RunningProgramPath(argc > 0 ? argv[0] : nullptr);
  if (program_path.empty()) {
    console.Error("The program cannot tell which folder it is in.");
    return 1;
  }
  platform::HostPath folder = platform::HostName(program_path).parent_path();
  // One run at a time in a folder: a lock that cannot be taken is no
  // reason to go on unguarded.
  platform::RunLock lock(folder);
  if (lock.busy()) {
    console.Line("Another run of the program is working in this folder.");
    console.Flush();
    return 1;
  }
  if (!lock.failure().empty()) {
    console.Error("The folder cannot be locked: " + lock.failure());
    return 1;
  }
  platform::Paths paths(folder);
  // The limits of a user's run: the defaults, one set for the whole run.
  const common::Limits limits;
  platform::Interpreter interpreter(paths, console, limits);
  runctx::RunContext run(console, paths, interpreter, limits);
  run.program_name = std::string(program_name);
  run.program_path = program_path;
  // The host is asked for its cores once (each asking reads a system file).
  run.threads = common::ThreadCount(hooks.threads());
  int status = 0;
  try {
    RunPhases(run, hooks);
  } catch (const runctx::RunEnded& end) {
    status = end.status;
  } catch (const common::IoError& error) {
    // What the run made goes first (a full disk is freed), then the screen.
    paths.RemoveMade();
    ShowIoError(run, error);
    status = 1;
  }
  console.Flush();
  return status;
}

}  // namespace driver
