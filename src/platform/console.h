// The console: lines out (CR LF), keys and lines in. On a terminal keys are
// read raw, without echo, one at a time, and every prompt first drops what
// was typed before it appeared; from a pipe each key answer is one input
// line whose first byte is the key (an empty line is Enter), nothing dropped.
#pragma once

#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

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
  /// `terminal` selects raw key reading from the process's standard input;
  /// `clears_screen` lets ClearScreen write the clear sequence.
  Console(std::istream& in, std::ostream& out, std::ostream& err, bool terminal,
          bool clears_screen = false);
  /// The process's own console: standard streams, terminal when stdin is
  /// one; the screen is cleared only when standard output is a terminal and
  /// TERM is not "dumb". At a terminal standard output is written out at each
  /// prompt and each Flush, so a prompt shows only once the keys typed
  /// before it are dropped.
  static Console Standard();

  /// Writes `text` and CR LF.
  void Line(std::string_view text = {});
  /// Writes `text` as it is.
  void Write(std::string_view text);
  /// A message for the error stream; also ended by CR LF. The run's
  /// warnings ("skipped, ...", "not UTF-8, ...") are also kept for
  /// RepeatWarnings.
  void Error(std::string_view text);
  void Flush();
  /// Writes the warnings kept since the last call once more on the error
  /// stream, in their order: the clear after the settings screen hides them.
  void RepeatWarnings();

  /// The next key: one byte, or two for an extended key (arrows). nullopt
  /// when no more keys can come (end of input).
  std::optional<std::string> ReadKey();
  /// One line of input, without its ending; nullopt at end of input.
  std::optional<std::string> ReadLine();
  /// Clears the screen when the console may; nothing otherwise.
  void ClearScreen();

 private:
  std::istream& in_;
  std::ostream& out_;
  std::ostream& err_;
  bool terminal_;
  bool clears_screen_;
  std::vector<std::string> warnings_;
};

/// Platform part of the console: a key prompt's hold on the terminal. From
/// construction the keys typed before are dropped and the terminal gives
/// keys raw, one at a time, without echo; the destructor puts the terminal's
/// settings back. While they are changed, SIGTERM, SIGHUP and SIGINT put them
/// back and end the program as the signal would, and Ctrl-Z (SIGTSTP) puts
/// them back, stops the program, and applies them again when it continues.
class TerminalKeys {
 public:
  TerminalKeys();
  ~TerminalKeys();
  TerminalKeys(const TerminalKeys&) = delete;
  TerminalKeys& operator=(const TerminalKeys&) = delete;

  /// The next key (blocking). nullopt at end of input; Ctrl-C puts the
  /// terminal back and ends the process as an interrupt would.
  std::optional<std::string> Next();
};

/// Drops the keys typed at the terminal and not yet read.
void DropTypedAhead();
/// True when standard input is a terminal.
bool StdinIsTerminal();
/// True when standard output is a terminal (a console on Windows).
bool StdoutIsTerminal();
/// Puts the standard streams in binary mode where the host translates line
/// endings, so CR LF is never doubled.
void UseBinaryStreams();

}  // namespace platform
