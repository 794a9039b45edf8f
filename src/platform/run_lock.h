// One run at a time in the program's folder. A second run there would
// delete and rewrite the first one's work files under it; the lock is an
// advisory lock on the program file itself, so it leaves nothing behind and
// the system releases it when the run ends, however it ends (a kill too).
#pragma once

#include <cstdint>
#include <filesystem>

namespace platform {

class RunLock {
 public:
  /// Takes the lock on `program` (the running program's file in its
  /// folder) without waiting. Where the host cannot lock the file at all
  /// (it cannot be opened), the run goes on unlocked.
  explicit RunLock(const std::filesystem::path& program);
  /// Releases the lock.
  ~RunLock();
  RunLock(const RunLock&) = delete;
  RunLock& operator=(const RunLock&) = delete;

  /// True when another run holds the lock: this one must not start.
  bool busy() const { return busy_; }

 private:
  // The open file that carries the lock: a descriptor or a handle.
  std::intptr_t handle_ = -1;
  bool busy_ = false;
};

}  // namespace platform
