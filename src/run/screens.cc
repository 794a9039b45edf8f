#include "run/screens.h"

#include <optional>
#include <string>

namespace runctx {

void EndProgram(int status) { throw RunEnded{status}; }

void ContinueOrEnd(RunContext& run) {
  run.console.Line("<1> continue");
  run.console.Line("<2> end");
  for (;;) {
    std::optional<std::string> key = run.console.ReadKey();
    if (!key || *key == "2") EndProgram(0);
    if (*key == "1") return;
  }
}

void AcknowledgeAndEnd(RunContext& run) {
  run.console.Line("<1> = continue and end");
  for (;;) {
    std::optional<std::string> key = run.console.ReadKey();
    if (!key || *key == "1") EndProgram(0);
  }
}

void KeyPromptAndEnd(RunContext& run) {
  run.console.Line("<...> any key to continue and end");
  run.console.ReadKey();
  EndProgram(0);
}

void KeyPause(RunContext& run) {
  run.console.Line("<...> any key to continue");
  if (!run.console.ReadKey()) EndProgram(0);
}

void Progress(RunContext& run, int percent) {
  run.console.Line("processed " + std::to_string(percent) + "%");
  run.console.Flush();  // shown as it comes, also where output waits for a prompt
}

std::string Rule(size_t count, char c) { return std::string(count, c); }

void EndWithKeyPrompt(RunContext& run, size_t rule, std::string_view message) {
  run.console.Line(Rule(rule));
  run.console.Line(message);
  run.console.Line();
  KeyPromptAndEnd(run);
}

}  // namespace runctx
