// "dir": bare names (/b), full paths of a whole tree (/b /s), or the long
// listing with a header, one line per entry and the summary lines. The
// phases read these listings back; the long form is only searched for names.
#include <cstdint>
#include <ctime>
#include <string>
#include <system_error>

#include "common/bytes.h"
#include "platform/interpreter/command.h"
#include "platform/interpreter/listing.h"

namespace platform::commands {
namespace {

struct Totals {
  uintmax_t files = 0;
  uintmax_t folders = 0;
  uintmax_t bytes = 0;
};

std::string WithCommas(uintmax_t value) {
  std::string digits = std::to_string(value);
  std::string result;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) result.push_back(',');
    result.push_back(digits[i]);
  }
  return result;
}

// "mm/dd/yyyy  hh:mm AM" in local time, as the long listing shows it.
std::string DateTime(const std::optional<ListedEntry>& facts) {
  // A time stamp the calendar cannot show (set far off by hand) shows as
  // a missing one does.
  std::optional<std::tm> local = facts ? LocalTime(facts->written) : std::nullopt;
  if (!local) return "01/01/1980  12:00 AM";
  const std::tm& parts = *local;
  int hour = parts.tm_hour % 12 == 0 ? 12 : parts.tm_hour % 12;
  return common::ZeroPad(parts.tm_mon + 1, 2) + "/" + common::ZeroPad(parts.tm_mday, 2) + "/" +
         common::ZeroPad(parts.tm_year + 1900, 4) + "  " + common::ZeroPad(hour, 2) + ":" +
         common::ZeroPad(parts.tm_min, 2) + (parts.tm_hour < 12 ? " AM" : " PM");
}

void LongLine(Command& command, const fs::path& host, std::string_view name, bool is_folder,
              Totals& totals) {
  const std::optional<ListedEntry> facts = ListedEntryOf(host);
  std::string line = DateTime(facts);
  if (is_folder) {
    line += "    <DIR>          ";
    ++totals.folders;
  } else {
    const uintmax_t size = facts ? facts->size : 0;
    line += common::PadLeft(WithCommas(size), /*width=*/18) + " ";
    ++totals.files;
    totals.bytes += size;
  }
  command.out.Line(line + std::string(name));
}

// One folder's block of the long listing; false when nothing matched.
bool ListLong(Command& command, const Selection& selection, Totals& totals) {
  bool dots = selection.pattern == "*" || selection.pattern == "*.*" || selection.pattern == "*.";
  if (!dots && selection.entries.empty()) return false;
  command.out.Line(" Directory of " + Paths::Native(selection.folder));
  command.out.Line("");
  Totals here;
  if (dots) {
    LongLine(command, selection.folder, ".", /*is_folder=*/true, here);
    LongLine(command, selection.folder.parent_path(), "..", /*is_folder=*/true, here);
  }
  for (const Entry& entry : selection.entries) {
    LongLine(command, entry.host, entry.name, entry.is_folder, here);
  }
  command.out.Line(common::PadLeft(std::to_string(here.files), /*width=*/16) + " File(s) " +
                   common::PadLeft(WithCommas(here.bytes), /*width=*/14) + " bytes");
  totals.files += here.files;
  totals.folders += here.folders;
  totals.bytes += here.bytes;
  return true;
}

// Full paths of every matching entry below `folder`; each subfolder's
// contents follow the subfolder. Linked folders are listed, not entered.
bool ListTree(Command& command, const fs::path& folder, std::string_view pattern, bool bare,
              Totals& totals) {
  bool any = false;
  std::vector<Entry> entries = ReadFolder(folder);
  if (!bare) {
    Selection selection;
    selection.folder = folder;
    selection.pattern = std::string(pattern);
    for (const Entry& entry : entries) {
      if (MatchPattern(pattern, entry.name)) selection.entries.push_back(entry);
    }
    any = ListLong(command, selection, totals);
  }
  for (const Entry& entry : entries) {
    if (bare && MatchPattern(pattern, entry.name)) {
      command.out.Line(Paths::Native(entry.host));
      any = true;
    }
    if (entry.is_folder && !entry.is_link)
      any |= ListTree(command, entry.host, pattern, bare, totals);
  }
  return any;
}

void FreeLine(Command& command, const fs::path& folder, const Totals& totals) {
  std::error_code error;
  fs::space_info space = fs::space(folder, error);
  uintmax_t free_bytes = error ? 0 : space.available;
  command.out.Line(common::PadLeft(std::to_string(totals.folders), /*width=*/16) + " Dir(s) " +
                   common::PadLeft(WithCommas(free_bytes), /*width=*/15) + " bytes free");
}

// Lists one PATTERN argument; false when nothing was listed.
bool ListOne(Command& command, std::string_view argument, bool bare, bool tree) {
  Selection selection = Select(command.paths(), argument);
  if (selection.status == Selection::Status::kOutside) {
    command.Error(kAccessDenied);
    return true;
  }
  if (selection.status == Selection::Status::kNoFolder) {
    command.Error(tree ? "File Not Found" : kPathNotFound);
    return true;
  }
  Totals totals;
  bool any = false;
  if (tree) {
    any = ListTree(command, selection.folder, selection.pattern, bare, totals);
  } else if (bare) {
    for (const Entry& entry : selection.entries) command.out.Line(entry.name);
    any = !selection.entries.empty();
  } else {
    any = ListLong(command, selection, totals);
  }
  if (!any) {
    if (!bare) {
      command.out.Line(" Directory of " + Paths::Native(selection.folder));
      command.out.Line("");
    }
    command.Error("File Not Found");
    return false;
  }
  if (!bare) FreeLine(command, selection.folder, totals);
  return true;
}

}  // namespace

void RunDir(Command& command) {
  std::string switches = SwitchLetters(command.words);
  bool bare = switches.find('b') != std::string::npos;
  bool tree = switches.find('s') != std::string::npos;
  std::vector<std::string> arguments = Operands(command.words);
  if (arguments.empty()) arguments.emplace_back();
  for (const std::string& argument : arguments) ListOne(command, argument, bare, tree);
}

}  // namespace platform::commands
