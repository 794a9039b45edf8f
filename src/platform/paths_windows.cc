// Names on Windows: the file system finds an entry whatever the case of the
// name used, so the stored name is asked of the folder itself; files are
// opened by their wide names (a narrow name would be read in the ANSI code
// page, not as the UTF-8 the program holds).
#include <windows.h>

#include "platform/paths.h"

namespace platform {

std::string StoredName(const fs::path& host) {
  fs::path name = host.filename();
  // A wildcard would make the folder search match other entries.
  if (name.native().find_first_of(L"*?") != std::wstring::npos) return name.string();
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(host.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return name.string();
  FindClose(search);
  return fs::path(found.cFileName).string();
}

std::FILE* OpenFile(const fs::path& host, const char* mode) {
  std::wstring wide_mode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(host.c_str(), wide_mode.c_str());
}

}  // namespace platform
