#include "platform/console.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <iostream>

namespace platform {

Stamp Now() {
  std::time_t seconds = std::time(nullptr);
  std::tm parts{};
  const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
  if (epoch != nullptr && *epoch != '\0') {
    seconds = static_cast<std::time_t>(std::strtoll(epoch, nullptr, 10));
    parts = *std::gmtime(&seconds);
  } else {
    parts = *std::localtime(&seconds);
  }
  return Stamp{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
               parts.tm_hour, parts.tm_min, parts.tm_sec};
}

Console::Console(std::istream& in, std::ostream& out, std::ostream& err, bool terminal)
    : in_(in), out_(out), err_(err), terminal_(terminal) {}

Console Console::Standard() {
  UseBinaryStreams();
  return Console(std::cin, std::cout, std::cerr, StdinIsTerminal());
}

void Console::Line(std::string_view text) {
  out_ << text << "\r\n";
}

void Console::Write(std::string_view text) { out_ << text; }

void Console::Error(std::string_view text) {
  out_.flush();
  err_ << text << "\r\n";
  err_.flush();
}

void Console::Flush() { out_.flush(); }

std::optional<std::string> Console::ReadKey() {
  out_.flush();
  if (terminal_) return ReadTerminalKey();
  std::optional<std::string> line = ReadLine();
  if (!line) return std::nullopt;
  if (line->empty()) return std::string("\r");
  return line->substr(0, 1);
}

std::optional<std::string> Console::ReadLine() {
  out_.flush();
  std::string line;
  if (!std::getline(in_, line)) {
    if (line.empty()) return std::nullopt;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

void Console::ClearScreen() {
  if (terminal_) out_ << "\x1b[2J\x1b[H";
}

}  // namespace platform
