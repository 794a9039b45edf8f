// The run lock on POSIX hosts: flock on the program file, opened for
// reading only. The lock belongs to the open file, which the system closes
// when the process ends.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/run_lock.h"

namespace platform {

RunLock::RunLock(const std::filesystem::path& program) {
  int fd = open(program.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    busy_ = errno == EWOULDBLOCK;
    close(fd);
    return;
  }
  handle_ = fd;
}

RunLock::~RunLock() {
  if (handle_ >= 0) close(static_cast<int>(handle_));
}

}  // namespace platform
