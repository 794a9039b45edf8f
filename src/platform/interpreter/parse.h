// Reading a command line: the redirections of its standard output, then the
// words of the command. Double quotes protect blanks and '>' alike.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/interpreter/command.h"

namespace platform::commands {

/// "> FILE" (create or empty) or ">> FILE" (append).
struct Redirection {
  std::string target;
  bool append = false;
};

/// A command line split into the command and its redirections, in the
/// order written; the last one receives the output.
struct CommandLine {
  std::string command;
  std::vector<Redirection> redirections;
};

/// Takes every "> FILE" and ">> FILE" outside double quotes off `line`.
/// Any number of blanks may stand around '>'; the name ends at the next
/// blank (or '>') or at the end of the line.
CommandLine SplitRedirections(std::string_view line);

/// The words of `text`: blanks separate them, quotes join them.
std::vector<Word> SplitWords(std::string_view text);

/// Takes the first word off `text` as written (quotes kept) and leaves the
/// text after it, leading blanks removed, in `text`.
std::string_view TakeRawWord(std::string_view& text);

/// `text` without blanks (spaces and tabs) at either end.
std::string_view TrimBlanks(std::string_view text);

}  // namespace platform::commands
