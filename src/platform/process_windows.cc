// Process facts on Windows: the program's path from the module's wide
// name; the peak memory is not asked for.
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/process.h"

namespace platform {

std::string RunningProgramPath(const char* argv0) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) break;
    if (length < buffer.size()) {
      buffer.resize(length);
      return std::filesystem::path(buffer).string();
    }
    buffer.resize(buffer.size() * 2);  // a long path: truncated, try again
  }
  if (argv0 == nullptr) return std::string();
  std::error_code error;
  return std::filesystem::absolute(argv0, error).string();
}

long PeakMemoryKb() { return 0; }

[[noreturn]] void KillSelf() { std::_Exit(137); }

}  // namespace platform
