// The run lock on Windows: LockFileEx on the program file. The range locked
// lies far past the end of the file, so the lock never keeps anyone from
// reading the program itself (byte-range locks are mandatory here); the
// system releases it with the handle when the process ends.
#include <windows.h>

#include "platform/run_lock.h"

namespace platform {
namespace {

// The locked byte: offset 2^62, one byte long.
constexpr DWORD kOffsetHigh = 0x40000000;

}  // namespace

RunLock::RunLock(const std::filesystem::path& program) {
  HANDLE file = CreateFileW(program.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  OVERLAPPED where{};
  where.OffsetHigh = kOffsetHigh;
  if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &where)) {
    busy_ = GetLastError() == ERROR_LOCK_VIOLATION;
    CloseHandle(file);
    return;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
}

RunLock::~RunLock() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

}  // namespace platform
