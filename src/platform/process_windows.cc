// Process facts on Windows: the standard streams kept open, the program's
// path from the module's wide name, a thread's priority; the peak memory is
// not asked for.
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/process.h"

namespace platform {

void OpenStandardStreams() {
  struct Stream {
    std::FILE* file;
    const char* mode;
  };
  for (Stream stream : {Stream{stdin, "rb"}, Stream{stdout, "wb"}, Stream{stderr, "wb"}}) {
    // A stream with no descriptor, or a descriptor with no handle behind
    // it (started without one), is given the null device.
    const int fd = _fileno(stream.file);
    if (fd < 0 || _get_osfhandle(fd) < 0) std::freopen("NUL", stream.mode, stream.file);
  }
}

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
  // Without the host's answer only a path the program was started by tells
  // its folder; a bare name was found on the search path, not in the
  // current folder.
  if (argv0 == nullptr || std::string_view(argv0).find_first_of("\\/") == std::string_view::npos) {
    return std::string();
  }
  std::error_code error;
  return std::filesystem::absolute(argv0, error).string();
}

long PeakMemoryKb() { return 0; }

void LowerThreadPriority() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL); }

[[noreturn]] void KillSelf() { std::_Exit(137); }

}  // namespace platform
