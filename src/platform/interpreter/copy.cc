// "copy SRC [DST]" and "copy /y": one file or every file a wildcard
// matches, into a folder or onto a file; existing targets are overwritten.
// Sources whose names differ only in case are kept apart, and sources the
// home platform could not name or that cannot be read (a folder, a FIFO, a
// dangling link, no permission) are passed over with a message, so no input
// is merged or lost without a word. A target is always a new file: a link
// standing there is replaced, never written through.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "common/bytes.h"
#include "platform/interpreter/command.h"
#include "platform/interpreter/listing.h"

namespace platform::commands {
namespace {

constexpr size_t kCopyBuffer = size_t{1} << 20;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// A write that failed (disk full): a hard failure naming the file and why.
[[noreturn]] void WriteFailed(const fs::path& target, int error) {
  throw common::IoError(target.string(),
                        error != 0 ? std::strerror(error) : "the file could not be written");
}

void CopiedLine(Command& command, int count) {
  command.out.Line(common::PadLeft(std::to_string(count), /*width=*/9) + " file(s) copied.");
}

// Opens a source for reading; one that cannot be read is named on the
// error stream with the reason and passed over.
File OpenSource(Command& command, const Entry& source) {
  std::string reason;
  File input(OpenForReading(source.host, &reason));
  if (!input)
    command.Error("skipped, cannot be read: " + ShownName(source.name) + " (" + reason + ")");
  return input;
}

// Appends the bytes of the open `input` to the open `target`; a failed
// write is a hard failure of the run.
void AppendBytes(std::FILE* input, std::FILE* target, const fs::path& target_path) {
  std::vector<char> buffer(kCopyBuffer);
  size_t got;
  while ((got = std::fread(buffer.data(), 1, buffer.size(), input)) > 0) {
    if (std::fwrite(buffer.data(), 1, got, target) != got) WriteFailed(target_path, errno);
  }
}

// Opens `target` for writing (after the confinement check) and reports why
// it cannot be; a target that cannot be made in its folder is a hard failure.
File OpenTarget(Command& command, const fs::path& target) {
  std::error_code error;
  if (!IsAllowedName(target.filename().string())) {
    command.Error(kBadName);
    return nullptr;
  }
  if (!fs::is_directory(fs::symlink_status(target.parent_path(), error))) {
    command.Error(kPathNotFound);
    return nullptr;
  }
  // A new file, never the data of another name of the target nor the
  // target of a link.
  return File(command.paths().Create(target).file);
}

// True when `target` is the source's own data under another name; a link
// at `target` is its own entry, whatever it points to.
bool SameFile(const fs::path& source, const fs::path& target) {
  std::error_code error;
  fs::file_status status = fs::symlink_status(target, error);
  if (fs::is_symlink(status) || status.type() == fs::file_type::not_found) return false;
  return fs::equivalent(source, target, error) && !error;
}

// Copies one file onto `target` (a program path); true when it was copied.
bool CopyOne(Command& command, const Entry& source, std::string_view target) {
  std::optional<fs::path> host = command.paths().ResolveForWrite(target);
  std::error_code error;
  if (!host || fs::is_directory(*host, error)) {
    command.Error(kAccessDenied);
    return false;
  }
  // A source that can be read is only asked so, not opened: the link
  // below shares its data without reading it. Opening it names the reason
  // one cannot be read.
  if (!IsReadableFile(source.host) && !OpenSource(command, source)) return false;
  if (SameFile(source.host, *host)) {
    // Two names of the same data (an earlier copy) already hold the copy.
    if (source.host.lexically_normal() != host->lexically_normal()) return true;
    command.Error("The file cannot be copied onto itself.");
    return false;
  }
  if (IsAllowedName(host->filename().string()) && command.paths().Link(source.host, *host)) {
    return true;
  }
  File input = OpenSource(command, source);
  if (!input) return false;
  File output = OpenTarget(command, *host);
  if (!output) return false;
  AppendBytes(input.get(), output.get(), *host);
  if (std::fclose(output.release()) != 0) WriteFailed(*host, errno);
  return true;
}

// Base and tail of a name for the case-collision suffix: split at the first
// ".txt" (as the input renaming does), else at the last dot.
std::string WithSuffix(std::string_view name, int number) {
  size_t cut = common::FindNoCase(name, ".txt");
  if (cut == std::string_view::npos) cut = name.rfind('.');
  if (cut == std::string_view::npos) cut = name.size();
  return std::string(name.substr(0, cut)) + "_" + std::to_string(number) +
         std::string(name.substr(cut));
}

// The target name of each source copied into one folder. A source whose
// name equals an earlier one's, case ignored, gets <base>_2<tail> (or _3,
// ...): the first name that neither the target folder nor any source holds.
std::vector<std::string> TargetNames(const std::vector<const Entry*>& sources,
                                     const fs::path& folder) {
  // One source cannot collide: its folder is not read (pages are copied
  // one by one into folders of thousands of files).
  if (sources.size() == 1) return {sources.front()->name};
  std::set<std::string> taken;
  for (const Entry& entry : ReadFolder(folder)) taken.insert(FoldName(entry.name));
  for (const Entry* source : sources) taken.insert(FoldName(source->name));
  std::set<std::string> used;
  std::vector<std::string> names;
  for (const Entry* source : sources) {
    std::string name = source->name;
    if (!used.insert(FoldName(name)).second) {
      for (int number = 2;; ++number) {
        name = WithSuffix(source->name, number);
        if (!taken.contains(FoldName(name))) break;
      }
      taken.insert(FoldName(name));
      used.insert(FoldName(name));
    }
    names.push_back(std::move(name));
  }
  return names;
}

// Joins several sources into one target file, as the home platform does
// for a wildcard copied onto a file name.
int JoinInto(Command& command, const std::vector<const Entry*>& sources, const Selection& selection,
             std::string_view target) {
  std::optional<fs::path> host = command.paths().ResolveForWrite(target);
  std::error_code error;
  if (!host || fs::is_directory(*host, error)) {
    command.Error(kAccessDenied);
    return 0;
  }
  File output = OpenTarget(command, *host);
  if (!output) return 0;
  for (const Entry* source : sources) {
    command.out.Line(selection.prefix + source->name);
    if (SameFile(source->host, *host)) continue;
    if (File input = OpenSource(command, *source)) AppendBytes(input.get(), output.get(), *host);
  }
  if (std::fclose(output.release()) != 0) WriteFailed(*host, errno);
  return 1;
}

// Where the copies go: a folder (with its prefix as written), or one file.
struct Destination {
  bool valid = true;
  bool into_folder = false;
  std::string prefix;
  fs::path folder;
};

Destination ReadDestination(Command& command, std::string_view argument) {
  Destination destination;
  if (argument.empty()) {
    destination.into_folder = true;
    destination.folder = command.paths().root();
    return destination;
  }
  std::optional<fs::path> host = command.paths().Resolve(argument);
  std::error_code error;
  bool names_folder = IsSeparator(argument.back());
  if (!host) {
    command.Error(kAccessDenied);
    destination.valid = false;
  } else if (fs::is_directory(*host, error)) {
    destination.into_folder = true;
    destination.folder = *host;
    destination.prefix = std::string(argument) + (names_folder ? "" : "\\");
  } else if (names_folder) {
    command.Error(kPathNotFound);
    destination.valid = false;
  }
  return destination;
}

}  // namespace

void RunCopy(Command& command) {
  std::vector<std::string> operands = Operands(command.words);
  if (operands.empty() || operands.size() > 2) {
    command.Error(kSyntaxError);
    return;
  }
  Selection selection = Select(command.paths(), operands[0]);
  for (const std::string& name : selection.refused) {
    command.Error("skipped, name not allowed: " + ShownName(name));
  }
  std::vector<const Entry*> sources;
  for (const Entry& entry : selection.entries) {
    if (!entry.is_folder) {
      sources.push_back(&entry);
    } else if (HasWildcard(operands[0])) {
      command.Error("skipped, cannot be read: " + ShownName(entry.name) + " (a folder)");
    }
  }
  if (selection.status == Selection::Status::kOutside) {
    command.Error(kAccessDenied);
  } else if (sources.empty() && selection.refused.empty()) {
    command.Error(kFileNotFound);
  }
  Destination destination = ReadDestination(command, operands.size() > 1 ? operands[1] : "");
  if (sources.empty() || !destination.valid) {
    CopiedLine(command, 0);
    return;
  }
  bool several = HasWildcard(operands[0]) || selection.pattern == "*";
  if (!destination.into_folder) {
    int count = several ? JoinInto(command, sources, selection, operands[1])
                        : (CopyOne(command, *sources[0], operands[1]) ? 1 : 0);
    CopiedLine(command, count);
    return;
  }
  std::vector<std::string> names = TargetNames(sources, destination.folder);
  int count = 0;
  for (size_t i = 0; i < sources.size(); ++i) {
    if (several) command.out.Line(selection.prefix + sources[i]->name);
    if (CopyOne(command, *sources[i], destination.prefix + names[i])) ++count;
  }
  CopiedLine(command, count);
}

}  // namespace platform::commands
