// "md FOLDER" creates a folder (and the folders leading to it); "rd FOLDER"
// removes an empty folder, or a link to a folder (never what it links to).
// Both stay inside the program's folder.
#include <string>
#include <system_error>
#include <vector>

#include "platform/interpreter/command.h"

namespace platform::commands {
namespace {

bool NamesAllowed(std::string_view path) {
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = path.size();
    std::string_view name = path.substr(start, end - start);
    if (!name.empty() && name != "." && name != ".." && !IsAllowedName(name)) return false;
    start = end + 1;
  }
  return true;
}

void MakeFolder(Command& command, const std::string& argument) {
  std::optional<fs::path> host = command.paths().ResolveForWrite(argument);
  if (!host) {
    command.Error(kAccessDenied);
    return;
  }
  std::error_code error;
  if (fs::symlink_status(*host, error).type() != fs::file_type::not_found) {
    command.Error("A subdirectory or file " + argument + " already exists.");
    return;
  }
  if (!NamesAllowed(argument)) {
    command.Error(kBadName);
    return;
  }
  // A work folder that cannot be made where it may be (no permission, a
  // full disk) is a hard failure of the run, named.
  if (!command.paths().MakeFolder(*host, error)) {
    throw common::IoError(Paths::Native(*host),
                          error ? error.message() : "the folder could not be made");
  }
}

void RemoveFolder(Command& command, const std::string& argument) {
  std::optional<fs::path> host = command.paths().ResolveForRemove(argument);
  if (!host) {
    command.Error(kAccessDenied);
    return;
  }
  std::error_code error;
  fs::file_status status = fs::symlink_status(*host, error);
  if (status.type() == fs::file_type::not_found) {
    command.Error(kFileNotFound);
    return;
  }
  if (!fs::is_directory(*host, error)) {
    command.Error("The directory name is invalid.");
    return;
  }
  if (!fs::is_symlink(status) && !fs::is_empty(*host, error)) {
    command.Error("The directory is not empty.");
    return;
  }
  if (!command.paths().Remove(*host, platform::Removal::kEntry, &error))
    command.Error(kAccessDenied);
}

}  // namespace

void RunMd(Command& command) {
  std::vector<std::string> operands = Operands(command.words);
  if (operands.empty()) command.Error(kSyntaxError);
  for (const std::string& operand : operands) MakeFolder(command, operand);
}

void RunRd(Command& command) {
  std::vector<std::string> operands = Operands(command.words);
  if (operands.empty()) command.Error(kSyntaxError);
  for (const std::string& operand : operands) RemoveFolder(command, operand);
}

}  // namespace platform::commands
