// One run at a time in a folder. A second run there would delete and
// rewrite the first one's work files under it, so the lock belongs to the
// folder the run works in, whatever program file started it (a copy under
// another name, a replaced program file, a link in another folder). It is
// a lock of the system's: it leaves nothing behind and the system releases
// it when the run ends, however it ends (a kill too).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace platform {

class RunLock {
 public:
  /// Takes the lock on `folder` (the folder the run works in) without
  /// waiting.
  explicit RunLock(const std::filesystem::path& folder);
  /// Releases the lock.
  ~RunLock();
  RunLock(const RunLock&) = delete;
  RunLock& operator=(const RunLock&) = delete;

  /// True when another run holds the lock: this one must not start.
  bool busy() const { return busy_; }
  /// Why the lock could not be taken, as the system says it, when no other
  /// run holds it (a file system without locks, a folder that cannot be
  /// opened for reading); empty when it was taken or is busy. The run must
  /// not start then either: it cannot tell whether another run shares the
  /// folder.
  const std::string& failure() const { return failure_; }

 private:
  // What carries the lock: a descriptor of the folder or a mutex handle.
  std::intptr_t handle_ = -1;
  bool busy_ = false;
  std::string failure_;
};

}  // namespace platform
