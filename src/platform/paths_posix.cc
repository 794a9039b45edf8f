// Names on POSIX hosts: a path names an entry only in its stored case, and
// its bytes are the name's bytes.
#include "platform/paths.h"

namespace platform {

std::string StoredName(const fs::path& host) { return host.filename().string(); }

std::FILE* OpenFile(const fs::path& host, const char* mode) {
  return std::fopen(host.c_str(), mode);
}

}  // namespace platform
