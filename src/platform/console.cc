#include "platform/console.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>

#include "platform/paths.h"

namespace platform {

namespace {

// The size of standard output's buffer at a terminal: more than any screen.
constexpr size_t kScreenBuffer = 1 << 16;

// The last second of the year 9999, the latest instant a time stamp of the
// index pages can show in its four-digit year.
constexpr long long kLastSecond = 253402300799;

// The instant of SOURCE_DATE_EPOCH: nullopt when unset or empty; `valid`
// false when it is not a whole number of seconds from 1970 through 9999.
std::optional<std::time_t> ReadSourceDateEpoch(bool* valid) {
  *valid = true;
  const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
  if (epoch == nullptr || *epoch == '\0') return std::nullopt;
  long long seconds = 0;
  for (const char* c = epoch; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9' || seconds > kLastSecond) {
      *valid = false;
      return std::nullopt;
    }
    seconds = seconds * 10 + (*c - '0');
  }
  if (seconds > kLastSecond) {
    *valid = false;
    return std::nullopt;
  }
  return static_cast<std::time_t>(seconds);
}

}  // namespace

std::optional<std::string> CheckSourceDateEpoch() {
  bool valid = true;
  ReadSourceDateEpoch(&valid);
  if (valid) return std::nullopt;
  std::string value = std::getenv("SOURCE_DATE_EPOCH");
  std::string shown = ShownName(value.substr(0, 40)) + (value.size() > 40 ? "..." : "");
  return "SOURCE_DATE_EPOCH must be a whole number of seconds since 1970, at most " +
         std::to_string(kLastSecond) + " (the end of 9999): \"" + shown + "\"";
}

Stamp Now() {
  bool valid = true;
  std::optional<std::time_t> epoch = ReadSourceDateEpoch(&valid);
  std::time_t seconds = epoch ? *epoch : std::time(nullptr);
  // A clock the calendar cannot show gives the first instant of 1970
  // rather than no time stamp at all.
  const std::tm* parts = epoch ? std::gmtime(&seconds) : std::localtime(&seconds);
  if (parts == nullptr) return Stamp{1970, 1, 1, 0, 0, 0};
  return Stamp{parts->tm_year + 1900, parts->tm_mon + 1, parts->tm_mday,
               parts->tm_hour,        parts->tm_min,     parts->tm_sec};
}

Console::Console(std::istream& in, std::ostream& out, std::ostream& err, bool terminal,
                 bool clears_screen)
    : in_(in), out_(out), err_(err), terminal_(terminal), clears_screen_(clears_screen) {}

Console Console::Standard() {
  const bool terminal = StdinIsTerminal();
  // A screen is written out whole when its prompt is ready, after the keys
  // typed before it are dropped: a key typed at the prompt is never dropped.
  if (terminal) std::setvbuf(stdout, nullptr, _IOFBF, kScreenBuffer);
  UseBinaryStreams();
  const char* term = std::getenv("TERM");
  const bool clears = StdoutIsTerminal() && (term == nullptr || std::string_view(term) != "dumb");
  return Console(std::cin, std::cout, std::cerr, terminal, clears);
}

void Console::Line(std::string_view text) { out_ << text << "\r\n"; }

void Console::Write(std::string_view text) { out_ << text; }

void Console::Error(std::string_view text) {
  out_.flush();
  err_ << text << "\r\n";
  err_.flush();
  if (text.starts_with("skipped, ") || text.starts_with("not UTF-8, ")) {
    warnings_.emplace_back(text);
  }
}

void Console::Flush() { out_.flush(); }

void Console::RepeatWarnings() {
  out_.flush();
  for (const std::string& warning : warnings_) err_ << warning << "\r\n";
  err_.flush();
  warnings_.clear();
}

std::optional<std::string> Console::ReadKey() {
  if (terminal_) {
    // The terminal is ready for the key before the prompt shows.
    TerminalKeys keys;
    out_.flush();
    return keys.Next();
  }
  std::optional<std::string> line = ReadLine();
  if (!line) return std::nullopt;
  if (line->empty()) return std::string("\r");
  return line->substr(0, 1);
}

std::optional<std::string> Console::ReadLine() {
  if (terminal_) DropTypedAhead();
  out_.flush();
  std::string line;
  if (!std::getline(in_, line)) {
    if (line.empty()) return std::nullopt;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

void Console::ClearScreen() {
  if (clears_screen_) out_ << "\x1b[2J\x1b[H";
}

}  // namespace platform
