// Process facts on POSIX hosts: the standard descriptors kept open, the
// program's path from /proc/self/exe, the peak memory from getrusage, a
// thread's nice value, the kill by SIGKILL.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/process.h"

namespace platform {

void OpenStandardStreams() {
  for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free descriptor is this one; dup2 covers the odd host
    // that hands out another.
    int null = open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (null >= 0 && null != fd) {
      dup2(null, fd);
      close(null);
    }
  }
}

std::string RunningProgramPath(const char* argv0) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (error) self.clear();
  // Started by a path ("./x.exe", "~/my_index/x.exe") that is a link to
  // the program, the program lives where the link is: that folder is its
  // own. Started by name from the search path, the host's answer holds.
  std::string started = argv0 == nullptr ? std::string() : std::string(argv0);
  if (started.find('/') != std::string::npos) {
    fs::path as_started = fs::absolute(started, error);
    if (!error && (self.empty() || (fs::is_symlink(fs::symlink_status(as_started, error)) &&
                                    fs::equivalent(as_started, self, error) && !error))) {
      fs::path folder = fs::weakly_canonical(as_started.parent_path(), error);
      if (!error) return (folder / as_started.filename()).string();
    }
  }
  return self.string();
}

long PeakMemoryKb() {
  rusage usage{};
  if (getrusage(RUSAGE_SELF, &usage) != 0) return 0;
  return usage.ru_maxrss;
}

void LowerThreadPriority() {
#ifdef __linux__
  // On Linux a thread has a nice value of its own, asked and set through
  // its id; a run started nicer than the normal stays nicer.
  constexpr int kStep = 5;
  constexpr int kNicest = 19;
  const auto self = static_cast<id_t>(gettid());
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, self);
  if (errno == 0) setpriority(PRIO_PROCESS, self, std::min(nice + kStep, kNicest));
#endif
}

[[noreturn]] void KillSelf() {
  std::raise(SIGKILL);
  std::_Exit(137);
}

}  // namespace platform
