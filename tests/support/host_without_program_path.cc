// Loaded into the program under test (LD_PRELOAD), makes the host unable to
// say where the running program is, as in a chroot or a container without
// /proc: /proc/self/exe reads as missing. Every other link reads as usual.
#include <dlfcn.h>
#include <sys/types.h>

#include <cerrno>
#include <cstring>

extern "C" ssize_t readlink(const char* path, char* buffer, size_t size) {
  if (std::strcmp(path, "/proc/self/exe") == 0) {
    errno = ENOENT;
    return -1;
  }
  using Readlink = ssize_t (*)(const char*, char*, size_t);
  static const auto host = reinterpret_cast<Readlink>(dlsym(RTLD_NEXT, "readlink"));
  return host(path, buffer, size);
}
