// The built-in command interpreter: runs the command lines that the phases
// compose (dir, copy, del, md, rd, rename, cd, chcp, sort, find, findstr,
// cmd /c, for) with the effect the home platform's interpreter has, the
// same on every host. Nothing is ever handed to a host shell.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/limits.h"
#include "platform/console.h"
#include "platform/paths.h"

namespace platform {

namespace commands {
class Sink;
}  // namespace commands

class Interpreter {
 public:
  /// "sort" keeps within the sort fields of `limits`, the run's, which
  /// outlive the interpreter.
  Interpreter(Paths& paths, Console& console, const common::Limits& limits)
      : paths_(paths), console_(console), limits_(limits) {}

  /// Runs one command line and returns when it is done. Standard output
  /// goes to the redirection target ("> FILE", ">> FILE") or the console;
  /// messages go to the console's error stream. No exit status: callers
  /// judge success by the files left afterwards. Every line starts in the
  /// program's folder ("cd .." affects nothing later). A failure to write
  /// data (disk full) raises common::IoError naming the file.
  void Run(std::string_view line);

  /// Runs a line nested in another ("cmd /c", the body of "for"): its
  /// output goes to `out` unless the line redirects it itself.
  void RunNested(std::string_view line, commands::Sink& out);

  Paths& paths() { return paths_; }
  Console& console() { return console_; }

  /// From now on, output redirected into the file `name` of the program's
  /// folder goes nowhere while that file is there: nobody reads it and the
  /// run deletes it, and making it afresh for every command line cost more
  /// than most commands. A missing file is still made and written, so the
  /// file is there whenever it would have been.
  void DiscardInto(std::string name) { discarded_.push_back(std::move(name)); }

  const common::Limits& limits() const { return limits_; }

 private:
  void Dispatch(std::string_view text, commands::Sink& out);
  // True when output redirected into `target` goes nowhere (DiscardInto).
  bool Discarded(std::string_view target) const;

  Paths& paths_;
  Console& console_;
  const common::Limits& limits_;
  std::vector<std::string> discarded_;
};

}  // namespace platform
