// "rename SRC NEW": gives one file or folder a new bare name in its own
// folder. The input renaming quotes SRC ("txt_wrk\my notes.txt").
#include <string>
#include <system_error>
#include <vector>

#include "platform/interpreter/command.h"

namespace platform::commands {

void RunRename(Command& command) {
  std::vector<std::string> operands = Operands(command.words);
  if (operands.size() != 2 || operands[1].find_first_of("\\/") != std::string::npos) {
    command.Error(kSyntaxError);
    return;
  }
  const std::string& source_name = operands[0];
  const std::string& new_name = operands[1];
  std::optional<fs::path> source = command.paths().ResolveForRemove(source_name);
  if (!source) {
    command.Error(kAccessDenied);
    return;
  }
  constexpr std::string_view kDuplicate =
      "A duplicate file name exists, or the file cannot be found.";
  std::error_code error;
  if (fs::symlink_status(*source, error).type() == fs::file_type::not_found) {
    command.Error(kDuplicate);
    return;
  }
  if (!IsAllowedName(new_name)) {
    command.Error(kBadName);
    return;
  }
  // An existing entry of that name, case ignored, blocks the rename unless
  // it is the source itself (a change of case only).
  size_t cut = source_name.find_last_of("\\/");
  std::string folder = cut == std::string::npos ? std::string() : source_name.substr(0, cut + 1);
  std::optional<fs::path> existing = command.paths().Resolve(folder + new_name);
  bool same_entry =
      existing &&
      (*existing == *source ||
       (existing->parent_path() == source->parent_path() &&
        FoldName(existing->filename().string()) == FoldName(source->filename().string()) &&
        !fs::is_symlink(*source, error) && !fs::is_symlink(*existing, error) &&
        fs::equivalent(*existing, *source, error)));
  if (existing && !same_entry &&
      fs::symlink_status(*existing, error).type() != fs::file_type::not_found) {
    command.Error(kDuplicate);
    return;
  }
  fs::path target = source->parent_path() / new_name;
  command.paths().Rename(*source, target, error);
  if (error) command.Error(kAccessDenied);
}

}  // namespace platform::commands
