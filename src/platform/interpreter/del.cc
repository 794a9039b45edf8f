// "del /q PATTERN": deletes the matching files without a question. Folders
// are never deleted; a link is removed itself, never its target; nothing
// outside the program's folder, nor behind a linked folder, is touched.
#include <string>
#include <system_error>

#include "platform/interpreter/command.h"
#include "platform/interpreter/listing.h"

namespace platform::commands {
namespace {

void DeleteMatching(Command& command, std::string_view argument) {
  Selection selection = Select(command.paths(), argument);
  if (selection.status == Selection::Status::kOutside) {
    command.Error(kAccessDenied);
    return;
  }
  if (selection.status == Selection::Status::kNoFolder) {
    command.Error(kPathNotFound);
    return;
  }
  bool any = false;
  for (const Entry& entry : selection.entries) any |= !entry.is_folder;
  if (!any) {
    command.Error("Could Not Find " + Paths::Native(selection.folder / selection.pattern));
    return;
  }
  // The folder must be a real folder inside, reached without a link (a
  // linked folder is never deleted through, wherever it points); its
  // entries are then removed as what they are (a link goes as a link).
  if (!command.paths().ReachedWithoutLinks(selection.folder) ||
      !command.paths().IsInside(selection.folder)) {
    command.Error(kAccessDenied);
    return;
  }
  for (const Entry& entry : selection.entries) {
    if (entry.is_folder) continue;
    std::error_code error;
    if (!command.paths().Remove(entry.host, platform::Removal::kEntry, &error) && error) {
      command.Error(Paths::Native(entry.host));
      command.Error(kAccessDenied);
    }
  }
}

}  // namespace

void RunDel(Command& command) {
  std::vector<std::string> operands = Operands(command.words);
  if (operands.empty()) {
    command.Error(kSyntaxError);
    return;
  }
  for (const std::string& operand : operands) DeleteMatching(command, operand);
}

}  // namespace platform::commands
