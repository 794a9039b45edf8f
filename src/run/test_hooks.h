// The switches of the tests and the benchmark, read once from the
// environment when the run starts; a user's run sets none of them.
//   INDEXER_KILL_AT=PHASE[:N]  the run kills itself as PHASE begins, or as
//                              the N-th command line or work file from the
//                              start of PHASE begins (interruption tests)
//   INDEXER_PHASE_TIMES=1      each phase's time and the peak memory on the
//                              error stream (benchmark)
//   INDEXER_THREADS=N          the work spread over N threads, not all
#pragma once

#include <string>
#include <string_view>

namespace runctx {

class TestHooks {
 public:
  /// The switches as the environment sets them.
  static TestHooks FromEnvironment();

  bool phase_times() const { return phase_times_; }
  /// Threads for the work spread over cores; 0: every hardware thread.
  unsigned threads() const { return threads_; }

  /// As phase `phase` begins: kills the process when it is the kill phase
  /// with no step, and starts the step count at it. True when steps must
  /// be counted from now on (the kill is armed).
  bool StartPhase(std::string_view phase);
  /// One command line or work file begins: the armed kill strikes at its
  /// step.
  void Step();

 private:
  std::string kill_phase_;
  long long kill_step_ = 0;
  long long countdown_ = 0;
  bool phase_times_ = false;
  unsigned threads_ = 0;
};

}  // namespace runctx
