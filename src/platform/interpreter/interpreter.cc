// Runs one command line: opens its redirection targets in the order
// written, then hands the command to its handler through the command table.
#include "platform/interpreter/interpreter.h"

#include <algorithm>
#include <optional>
#include <system_error>

#include "common/bytes.h"
#include "platform/interpreter/command.h"
#include "platform/interpreter/parse.h"
#include "platform/lines.h"

namespace platform {
namespace {

struct CommandEntry {
  std::string_view name;
  commands::Handler handler;
};

// The command table; names are matched case-insensitively.
commands::Handler FindHandler(std::string_view name) {
  static constexpr CommandEntry kCommands[] = {
      {"cd", commands::RunCd},         {"chdir", commands::RunCd},
      {"chcp", commands::RunChcp},     {"cmd", commands::RunCmd},
      {"copy", commands::RunCopy},     {"del", commands::RunDel},
      {"erase", commands::RunDel},     {"dir", commands::RunDir},
      {"find", commands::RunFind},     {"findstr", commands::RunFindstr},
      {"for", commands::RunFor},       {"md", commands::RunMd},
      {"mkdir", commands::RunMd},      {"rd", commands::RunRd},
      {"rmdir", commands::RunRd},      {"ren", commands::RunRename},
      {"rename", commands::RunRename}, {"sort", commands::RunSort},
  };
  std::string folded = common::Lower(name);
  // The tools may be named with their file name ("find.exe").
  if (folded.size() > 4 && folded.ends_with(".exe")) folded.resize(folded.size() - 4);
  for (const CommandEntry& entry : kCommands) {
    if (entry.name == folded) return entry.handler;
  }
  return nullptr;
}

}  // namespace

namespace commands {

std::optional<platform::LineWriter> OpenWriter(Paths& paths, Console& console,
                                               std::string_view target, bool append) {
  std::optional<fs::path> host = paths.ResolveForWrite(target);
  if (!host) {
    console.Error(commands::kAccessDenied);
    return std::nullopt;
  }
  if (!IsAllowedName(host->filename().string())) {
    console.Error(commands::kBadName);
    return std::nullopt;
  }
  std::error_code error;
  if (!fs::is_directory(fs::symlink_status(host->parent_path(), error))) {
    console.Error(commands::kPathNotFound);
    return std::nullopt;
  }
  // The folder is there and the name is allowed: a file that still cannot
  // be made (no permission, a full disk, a folder of that name) is a work
  // file the run cannot have, which the writer raises as a hard failure.
  return platform::LineWriter(paths.Create(*host, append));
}

}  // namespace commands

void Interpreter::Run(std::string_view line) {
  // A command line is a C string on the home platform: nothing after a NUL
  // byte reaches the interpreter. Past it, a host path would name a shorter
  // path than the one checked (a folder listed inside itself, without end).
  line = line.substr(0, line.find('\0'));
  commands::Sink console_sink(console_);
  RunNested(line, console_sink);
  console_.Flush();
}

void Interpreter::RunNested(std::string_view line, commands::Sink& out) {
  commands::CommandLine parsed = commands::SplitRedirections(line);
  std::optional<platform::LineWriter> target;
  bool discard = false;
  for (const commands::Redirection& redirection : parsed.redirections) {
    if (target) target->Close();
    target.reset();
    discard = common::EqualsNoCase(redirection.target, "nul") || Discarded(redirection.target);
    if (discard) continue;
    // Each target is created (or emptied, or opened for appending) before
    // the command runs, as the home platform does.
    target = commands::OpenWriter(paths_, console_, redirection.target, redirection.append);
    if (!target) return;
  }
  if (discard) {
    commands::Sink nowhere = commands::Sink::Discard();
    Dispatch(parsed.command, nowhere);
  } else if (target) {
    commands::Sink file(*target);
    Dispatch(parsed.command, file);
    target->Close();
  } else {
    Dispatch(parsed.command, out);
  }
}

bool Interpreter::Discarded(std::string_view target) const {
  const bool listed =
      std::any_of(discarded_.begin(), discarded_.end(),
                  [&](const std::string& name) { return common::EqualsNoCase(target, name); });
  if (!listed) return false;
  std::optional<fs::path> host = paths_.ResolveForWrite(target);
  std::error_code error;
  return host && fs::is_regular_file(fs::symlink_status(*host, error));
}

void Interpreter::Dispatch(std::string_view text, commands::Sink& out) {
  std::string_view rest = commands::TrimBlanks(text);
  if (rest.empty()) return;
  // The command's name ends at a blank or at the '/' of a switch ("dir/b").
  size_t end = rest.find_first_of(" \t/", 1);
  if (end == std::string_view::npos) end = rest.size();
  std::string name(rest.substr(0, end));
  rest = commands::TrimBlanks(rest.substr(end));
  commands::Handler handler = FindHandler(name);
  if (handler == nullptr) {
    console_.Error("'" + name + "' is not recognized as an internal or external command,");
    console_.Error("operable program or batch file.");
    return;
  }
  commands::Command command{*this, out, name, rest, commands::SplitWords(rest)};
  handler(command);
}

}  // namespace platform
