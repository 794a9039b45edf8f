// One run at a time in a folder. A second run there would delete and
// rewrite the first one's work files under it, so the lock belongs to the
// folder the run works in, whatever program file started it (a copy under
// another name, a replaced program file, a link in another folder). It is
// a lock of the system's: it leaves nothing behind and the system releases
// it when the run ends, however it ends (a kill too).
#pragma once

#include <cstdint>
#include <filesystem>

namespace platform {

class RunLock {
 public:
  /// Takes the lock on `folder` (the folder the run works in) without
  /// waiting. Where the host cannot lock the folder at all (it cannot be
  /// opened for reading, so no run can list it either), the run goes on
  /// unlocked.
  explicit RunLock(const std::filesystem::path& folder);
  /// Releases the lock.
  ~RunLock();
  RunLock(const RunLock&) = delete;
  RunLock& operator=(const RunLock&) = delete;

  /// True when another run holds the lock: this one must not start.
  bool busy() const { return busy_; }

 private:
  // What carries the lock: a descriptor of the folder or a mutex handle.
  std::intptr_t handle_ = -1;
  bool busy_ = false;
};

}  // namespace platform
