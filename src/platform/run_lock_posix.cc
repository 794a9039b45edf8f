// The run lock on POSIX hosts: flock on the folder itself, opened for
// reading. Every path to the folder (a link to it, another name of the
// program in it) reaches the same folder and so the same lock; the lock
// belongs to the open folder, which the system closes when the process ends.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/run_lock.h"

namespace platform {

RunLock::RunLock(const std::filesystem::path& folder) {
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    failure_ = std::strerror(errno);
    return;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    // Only "held by another" is busy; any other answer (ENOLCK from a
    // network file system) leaves the folder unguarded.
    const int error = errno;
    close(fd);
    if (error == EWOULDBLOCK) {
      busy_ = true;
    } else {
      failure_ = std::strerror(error);
    }
    return;
  }
  handle_ = fd;
}

RunLock::~RunLock() {
  if (handle_ >= 0) close(static_cast<int>(handle_));
}

}  // namespace platform
