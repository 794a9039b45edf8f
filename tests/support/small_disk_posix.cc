#include "support/small_disk_posix.h"

#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace testing_support {

SmallDisk::SmallDisk(const std::filesystem::path& where, const std::string& size) : where_(where) {
  std::filesystem::create_directories(where_);
  if (getuid() != 0) {
    why_not_ = "mounting a tmpfs needs root";
  } else if (mount("tmpfs", where_.c_str(), "tmpfs", 0, ("size=" + size).c_str()) != 0) {
    why_not_ = "mount -t tmpfs -o size=" + size + " failed: " + std::strerror(errno);
  }
}

SmallDisk::~SmallDisk() {
  if (why_not_.empty()) umount2(where_.c_str(), MNT_DETACH);
}

bool SmallDisk::Grow() {
  return mount("tmpfs", where_.c_str(), "tmpfs", MS_REMOUNT, "size=256m") == 0;
}

unsigned long long SmallDisk::FreeBytes() const {
  struct statvfs info {};
  statvfs(where_.c_str(), &info);
  return static_cast<unsigned long long>(info.f_bavail) * info.f_frsize;
}

}  // namespace testing_support
