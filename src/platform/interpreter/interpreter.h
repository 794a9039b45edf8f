// The built-in command interpreter: runs the command lines that the phases
// compose (dir, copy, del, md, rd, rename, cd, chcp, sort, find, findstr,
// cmd /c, for) with the effect the home platform's interpreter has, the
// same on every host. Nothing is ever handed to a host shell.
#pragma once

#include <string_view>

#include "platform/console.h"
#include "platform/paths.h"

namespace platform {

class Interpreter {
 public:
  Interpreter(Paths& paths, Console& console) : paths_(paths), console_(console) {}

  /// Runs one command line and returns when it is done. Standard output
  /// goes to the redirection target ("> FILE", ">> FILE") or the console;
  /// messages go to the console's error stream. No exit status: callers
  /// judge success by the files left afterwards. Every line starts in the
  /// program's folder ("cd .." affects nothing later).
  void Run(std::string_view line);

  Paths& paths() { return paths_; }
  Console& console() { return console_; }

 private:
  Paths& paths_;
  Console& console_;
};

}  // namespace platform
