// Loaded into the program under test (LD_PRELOAD), stands for a file system
// without a lock service (NFS without lockd): every flock fails with ENOLCK.
#include <cerrno>

extern "C" int flock(int /*fd*/, int /*operation*/) {
  errno = ENOLCK;
  return -1;
}
