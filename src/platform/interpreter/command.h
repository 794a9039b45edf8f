// What the interpreter hands to each command: the output sink (a
// redirection target or the console), the words of the command line and the
// way back to the interpreter for nested lines. One handler per command.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/console.h"
#include "platform/interpreter/interpreter.h"
#include "platform/lines.h"
#include "platform/paths.h"

namespace platform::commands {

// The home platform's wording of the messages a user may see.
inline constexpr std::string_view kFileNotFound = "The system cannot find the file specified.";
inline constexpr std::string_view kPathNotFound = "The system cannot find the path specified.";
inline constexpr std::string_view kAccessDenied = "Access is denied.";
inline constexpr std::string_view kBadName =
    "The filename, directory name, or volume label syntax is incorrect.";
inline constexpr std::string_view kSyntaxError = "The syntax of the command is incorrect.";

/// Where a command's standard output goes: the file of a redirection, the
/// console, or nowhere ("> nul"). Messages never go here.
class Sink {
 public:
  explicit Sink(Console& console) : console_(&console) {}
  explicit Sink(platform::LineWriter& file) : file_(&file) {}
  static Sink Discard() { return Sink(); }

  /// Writes `text` and CR LF.
  void Line(std::string_view text) {
    if (file_ != nullptr) {
      file_->Line(text);
    } else if (console_ != nullptr) {
      console_->Line(text);
    }
  }

 private:
  Sink() = default;
  Console* console_ = nullptr;
  platform::LineWriter* file_ = nullptr;
};

/// One word of a command line: blanks separate words, a double-quoted
/// stretch is part of one word and its quotes are dropped.
struct Word {
  std::string text;
  bool quoted = false;
};

/// True when `word` is a switch ("/b", "/q", "/-y", "/b/s"). A host whose
/// absolute paths start with '/' is served too: a switch's parts between
/// slashes are one or two characters long, a path's are longer.
bool IsSwitch(const Word& word);

/// The lower-case letters of the switches among `words` ("/b", "/S" -> "bs";
/// "/-y" -> "-y").
std::string SwitchLetters(const std::vector<Word>& words);

/// The words that are not switches.
std::vector<std::string> Operands(const std::vector<Word>& words);

/// One command to run: its name as typed, the raw text after the name and
/// the words of that text.
struct Command {
  Interpreter& shell;
  Sink& out;
  std::string name;
  std::string_view rest;
  std::vector<Word> words;

  Paths& paths() const { return shell.paths(); }
  /// A message for the error stream.
  void Error(std::string_view text) const { shell.console().Error(text); }
};

using Handler = void (*)(Command&);

/// Opens `target` (a program path) for writing, creating or emptying it, or
/// appending; a link there is replaced. nullopt, with the home platform's
/// message on the error stream, when it lies outside the program's folder
/// or behind a linked folder, has a name the home platform could not hold,
/// or its folder is missing. Raises common::IoError when the file cannot be
/// made in its folder (no permission, a full disk, a folder of that name).
std::optional<platform::LineWriter> OpenWriter(Paths& paths, Console& console,
                                               std::string_view target, bool append);

// The commands, one file each (md and rd share one; find and findstr too).
void RunDir(Command& command);
void RunCopy(Command& command);
void RunDel(Command& command);
void RunMd(Command& command);
void RunRd(Command& command);
void RunRename(Command& command);
void RunSort(Command& command);
void RunFind(Command& command);
void RunFindstr(Command& command);
// Interpreter built-ins: cmd /c, for, cd, chcp.
void RunCmd(Command& command);
void RunFor(Command& command);
void RunCd(Command& command);
void RunChcp(Command& command);

}  // namespace platform::commands
