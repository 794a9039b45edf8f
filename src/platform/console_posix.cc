// Terminal keys on POSIX hosts: raw mode for the length of one key prompt,
// put back on every way out of it: the prompt's end, Ctrl-C, SIGTERM, SIGHUP
// and SIGINT, and Ctrl-Z (put back while stopped, applied again after).
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

#include "platform/console.h"

namespace platform {
namespace {

// Which settings a key prompt has put on the terminal.
enum PromptMode : int { kUnchanged = 0, kRawKeys = 1, kEscapeTail = 2 };

// The terminal's settings around a key prompt, shared with the signal
// handlers. A handler gets no argument but the signal, so the settings it
// must put back can only be reached through a variable of this file: the
// one exception to "no globals" here. The settings are written before
// `mode` says they hold, and a handler only reads them.
struct PromptTerminal {
  termios saved;                      // as the prompt found them
  termios raw;                        // one key at a time, no echo
  termios escape_tail;                // the rest of an escape sequence
  volatile std::sig_atomic_t mode;    // a PromptMode
  struct sigaction ending_before[3];  // SIGTERM, SIGHUP, SIGINT as found
  struct sigaction stop_before;       // SIGTSTP as found
};
PromptTerminal prompt_terminal{};

constexpr int kEndingSignals[3] = {SIGTERM, SIGHUP, SIGINT};

void PutBack() {
  if (prompt_terminal.mode != kUnchanged) {
    tcsetattr(STDIN_FILENO, TCSANOW, &prompt_terminal.saved);
  }
}

void ApplyAgain() {
  const int mode = prompt_terminal.mode;
  if (mode == kRawKeys) tcsetattr(STDIN_FILENO, TCSANOW, &prompt_terminal.raw);
  if (mode == kEscapeTail) tcsetattr(STDIN_FILENO, TCSANOW, &prompt_terminal.escape_tail);
}

// SIGTERM, SIGHUP, SIGINT: the terminal put back, then the signal's own
// action (the handler is reset on entry and the signal not held back).
void EndOnSignal(int signal) {
  PutBack();
  std::raise(signal);
}

void InstallStopHandler();

// SIGTSTP: stop with the terminal as it was, and take the prompt up again
// when continued.
void StopOnSignal(int /*signal*/) {
  const int saved_errno = errno;
  PutBack();
  struct sigaction stop {};
  stop.sa_handler = SIG_DFL;
  sigemptyset(&stop.sa_mask);
  sigaction(SIGTSTP, &stop, nullptr);
  sigset_t held;
  sigemptyset(&held);
  sigaddset(&held, SIGTSTP);
  sigprocmask(SIG_UNBLOCK, &held, nullptr);
  std::raise(SIGTSTP);  // stops here until continued
  InstallStopHandler();
  ApplyAgain();
  errno = saved_errno;
}

void InstallStopHandler() {
  struct sigaction stop {};
  stop.sa_handler = StopOnSignal;
  stop.sa_flags = SA_RESTART;
  sigemptyset(&stop.sa_mask);
  sigaction(SIGTSTP, &stop, nullptr);
}

// Takes the signals a prompt must answer, except those the program was
// started with ignored (nohup, a job without job control): they stay so.
void InstallHandlers() {
  for (int i = 0; i < 3; ++i) {
    sigaction(kEndingSignals[i], nullptr, &prompt_terminal.ending_before[i]);
    if (prompt_terminal.ending_before[i].sa_handler == SIG_IGN) continue;
    struct sigaction ending {};
    ending.sa_handler = EndOnSignal;
    ending.sa_flags = SA_RESETHAND | SA_NODEFER;
    sigemptyset(&ending.sa_mask);
    sigaction(kEndingSignals[i], &ending, nullptr);
  }
  sigaction(SIGTSTP, nullptr, &prompt_terminal.stop_before);
  if (prompt_terminal.stop_before.sa_handler != SIG_IGN) InstallStopHandler();
}

void RestoreHandlers() {
  for (int i = 0; i < 3; ++i) {
    sigaction(kEndingSignals[i], &prompt_terminal.ending_before[i], nullptr);
  }
  sigaction(SIGTSTP, &prompt_terminal.stop_before, nullptr);
}

void SetMode(PromptMode mode) {
  prompt_terminal.mode = mode;
  ApplyAgain();
}

// One byte from the terminal; a read cut short by a signal is tried again.
ssize_t ReadByte(unsigned char* byte) {
  for (;;) {
    ssize_t got = read(STDIN_FILENO, byte, 1);
    if (got >= 0 || errno != EINTR) return got;
  }
}

}  // namespace

bool StdinIsTerminal() { return isatty(STDIN_FILENO) == 1; }

bool StdoutIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

void UseBinaryStreams() {}

void DropTypedAhead() { tcflush(STDIN_FILENO, TCIFLUSH); }

TerminalKeys::TerminalKeys() {
  DropTypedAhead();
  termios saved{};
  if (tcgetattr(STDIN_FILENO, &saved) != 0) return;
  prompt_terminal.saved = saved;
  prompt_terminal.raw = saved;
  prompt_terminal.raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG);
  prompt_terminal.raw.c_cc[VMIN] = 1;
  prompt_terminal.raw.c_cc[VTIME] = 0;
  // The rest of an escape sequence comes at once: take what is there
  // within a tenth of a second, without waiting for more.
  prompt_terminal.escape_tail = prompt_terminal.raw;
  prompt_terminal.escape_tail.c_cc[VMIN] = 0;
  prompt_terminal.escape_tail.c_cc[VTIME] = 1;
  InstallHandlers();
  SetMode(kRawKeys);
}

TerminalKeys::~TerminalKeys() {
  if (prompt_terminal.mode == kUnchanged) return;
  // Held back while the settings go back, so no handler applies the
  // prompt's settings again after they are put back; delivered after, as
  // the program found them handled.
  sigset_t held, before;
  sigemptyset(&held);
  for (int signal : kEndingSignals) sigaddset(&held, signal);
  sigaddset(&held, SIGTSTP);
  sigprocmask(SIG_BLOCK, &held, &before);
  PutBack();
  prompt_terminal.mode = kUnchanged;
  RestoreHandlers();
  sigprocmask(SIG_SETMASK, &before, nullptr);
}

std::optional<std::string> TerminalKeys::Next() {
  if (prompt_terminal.mode == kUnchanged) return std::nullopt;  // no terminal
  for (;;) {
    unsigned char first = 0;
    if (ReadByte(&first) != 1) return std::nullopt;
    if (first == 0x03) {
      // Ctrl-C: the terminal put back, then end as an interrupt does.
      PutBack();
      std::signal(SIGINT, SIG_DFL);
      std::raise(SIGINT);
    }
    if (first == 0x1a) {
      // Ctrl-Z: stopped through the SIGTSTP handler; then the prompt goes on.
      std::raise(SIGTSTP);
      continue;
    }
    if (first != 0x1b) return std::string(1, static_cast<char>(first));
    // An escape sequence (arrow keys and the like) is one extended key.
    SetMode(kEscapeTail);
    unsigned char rest[8];
    ssize_t more = read(STDIN_FILENO, rest, sizeof rest);
    SetMode(kRawKeys);
    std::string key(1, '\0');
    key.push_back(more > 0 ? static_cast<char>(rest[more - 1]) : '\x1b');
    return key;
  }
}

}  // namespace platform
