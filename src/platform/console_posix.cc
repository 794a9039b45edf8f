// Terminal keys on POSIX hosts: raw mode for the length of one key read,
// so the terminal is restored on every path out of a prompt.
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/console.h"

namespace platform {

bool StdinIsTerminal() { return isatty(STDIN_FILENO) == 1; }

void UseBinaryStreams() {}

std::optional<std::string> ReadTerminalKey() {
  termios saved{};
  if (tcgetattr(STDIN_FILENO, &saved) != 0) return std::nullopt;
  termios raw = saved;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  tcsetattr(STDIN_FILENO, TCSANOW, &raw);
  unsigned char first = 0;
  ssize_t got = read(STDIN_FILENO, &first, 1);
  std::string key;
  if (got == 1) {
    key.push_back(static_cast<char>(first));
    if (first == 0x1b) {
      // An escape sequence (arrow keys and the like) is one extended key:
      // take what follows at once, without waiting for more.
      raw.c_cc[VMIN] = 0;
      raw.c_cc[VTIME] = 1;
      tcsetattr(STDIN_FILENO, TCSANOW, &raw);
      unsigned char rest[8];
      ssize_t more = read(STDIN_FILENO, rest, sizeof rest);
      key = std::string(1, '\0');
      key.push_back(more > 0 ? static_cast<char>(rest[more - 1]) : '\x1b');
    }
  }
  tcsetattr(STDIN_FILENO, TCSANOW, &saved);
  if (got != 1) return std::nullopt;
  if (first == 0x03) {
    // Ctrl-C: the terminal is already restored; end as an interrupt does.
    std::signal(SIGINT, SIG_DFL);
    std::raise(SIGINT);
  }
  return key;
}

}  // namespace platform
