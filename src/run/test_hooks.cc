#include "run/test_hooks.h"

#include <optional>

#include "common/bytes.h"
#include "platform/process.h"

namespace runctx {

TestHooks TestHooks::FromEnvironment() {
  TestHooks hooks;
  hooks.phase_times_ = platform::EnvironmentValue("INDEXER_PHASE_TIMES").has_value();
  if (std::optional<std::string> threads = platform::EnvironmentValue("INDEXER_THREADS")) {
    hooks.threads_ = static_cast<unsigned>(common::ParseDigits(*threads));
  }
  if (std::optional<std::string> kill_at = platform::EnvironmentValue("INDEXER_KILL_AT")) {
    std::string_view text = *kill_at;
    size_t colon = text.find(':');
    hooks.kill_phase_ = std::string(text.substr(0, colon));
    if (colon != std::string_view::npos) {
      hooks.kill_step_ = common::ParseDigits(text.substr(colon + 1));
    }
  }
  return hooks;
}

bool TestHooks::StartPhase(std::string_view phase) {
  if (kill_phase_.empty() || kill_phase_ != phase) return false;
  if (kill_step_ <= 0) platform::KillSelf();
  countdown_ = kill_step_;
  return true;
}

void TestHooks::Step() {
  if (countdown_ > 0 && --countdown_ == 0) platform::KillSelf();
}

}  // namespace runctx
