// Test support on POSIX hosts: a small file system of its own (a tmpfs),
// mounted for one test and removed after, so a run can fill its disk.
#pragma once

#include <filesystem>
#include <string>

namespace testing_support {

/// Mounts a tmpfs of `size` (as mount's size= takes it) on `where`; root
/// only. why_not() says why it could not, and the test then skips.
class SmallDisk {
 public:
  SmallDisk(const std::filesystem::path& where, const std::string& size);
  ~SmallDisk();
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  const std::string& why_not() const { return why_not_; }
  /// Makes room: the disk grows to 256 MB. False when it cannot.
  bool Grow();
  /// The bytes still free on the disk.
  unsigned long long FreeBytes() const;

 private:
  std::filesystem::path where_;
  std::string why_not_;
};

}  // namespace testing_support
