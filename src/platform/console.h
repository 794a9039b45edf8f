// The console: lines out (CR LF), keys and lines in. On a terminal keys are
// read raw, without echo, one at a time; from a pipe each key answer is one
// input line whose first byte is the key (an empty line is Enter).
#pragma once

#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace platform {

/// A calendar instant for the time stamp lines of the index pages.
struct Stamp {
  int year, month, day, hour, minute, second;
};

/// The local time now, or the instant of SOURCE_DATE_EPOCH in UTC when that
/// environment variable is set (reproducible output).
Stamp Now();

/// nullopt when SOURCE_DATE_EPOCH is unset, empty, or a whole number of
/// seconds from 1970 through the end of 9999; otherwise the message that
/// names the value. Checked before a run touches any file.
std::optional<std::string> CheckSourceDateEpoch();

class Console {
 public:
  /// `terminal` selects raw key reading from the process's standard input.
  Console(std::istream& in, std::ostream& out, std::ostream& err, bool terminal);
  /// The process's own console: standard streams, terminal when stdin is one.
  static Console Standard();

  /// Writes `text` and CR LF.
  void Line(std::string_view text = {});
  /// Writes `text` as it is.
  void Write(std::string_view text);
  /// A message for the error stream; also ended by CR LF.
  void Error(std::string_view text);
  void Flush();

  /// The next key: one byte, or two for an extended key (arrows). nullopt
  /// when no more keys can come (end of input).
  std::optional<std::string> ReadKey();
  /// One line of input, without its ending; nullopt at end of input.
  std::optional<std::string> ReadLine();
  /// Clears the screen on a terminal; nothing otherwise.
  void ClearScreen();

  bool is_terminal() const { return terminal_; }

 private:
  std::istream& in_;
  std::ostream& out_;
  std::ostream& err_;
  bool terminal_;
};

/// Platform part of the console: reads one raw key from the terminal
/// (no echo, blocking), restoring the terminal before it returns.
/// nullopt at end of input; Ctrl-C restores the terminal and ends the
/// process as an interrupt would.
std::optional<std::string> ReadTerminalKey();
/// True when standard input is a terminal.
bool StdinIsTerminal();
/// Puts the standard streams in binary mode where the host translates line
/// endings, so CR LF is never doubled.
void UseBinaryStreams();

}  // namespace platform
