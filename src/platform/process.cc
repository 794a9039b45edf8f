// The host-independent facts of the process; the others are in
// console_posix.cc and console_windows.cc.
#include "platform/process.h"

#include <cstdlib>

namespace platform {

std::optional<std::string> EnvironmentValue(std::string_view name) {
  const char* value = std::getenv(std::string(name).c_str());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

}  // namespace platform
