// Console keys and standard streams on Windows. Keys come straight from the
// console through _getch (no echo, blocking); the standard streams are put in
// binary mode so the CR LF that ends every line is written as it is, never
// turned into CR CR LF.
#include <conio.h>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/console.h"

namespace platform {
namespace {

// _getch's first byte for the keys that come as two (arrows, function keys).
bool IsExtendedPrefix(int byte) { return byte == 0x00 || byte == 0xE0; }

// The console's output settings as the program found them, put back at
// exit (the console outlives the program). Set once, by UseBinaryStreams.
struct SavedConsole {
  bool saved = false;
  UINT code_page = 0;
  DWORD mode = 0;
};
SavedConsole saved_console;

void RestoreConsole() {
  SetConsoleOutputCP(saved_console.code_page);
  SetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), saved_console.mode);
}

// Lines are UTF-8 (page and file names): a console shows them as such in
// code page 65001, which the program's "chcp 65001" asks for. The clear
// screen sequence needs the console's terminal sequences switched on.
void PrepareConsoleOutput() {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (saved_console.saved || !GetConsoleMode(out, &mode)) return;
  saved_console = SavedConsole{true, GetConsoleOutputCP(), mode};
  SetConsoleOutputCP(CP_UTF8);
  SetConsoleMode(out, mode | ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
  std::atexit(RestoreConsole);
}

}  // namespace

bool StdinIsTerminal() { return _isatty(_fileno(stdin)) != 0; }

void UseBinaryStreams() {
  std::fflush(stdout);
  std::fflush(stderr);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  // Piped answers are read as bytes too: a Ctrl-Z byte is no end of input
  // and a CR before LF is dropped by the line reader, as on other hosts.
  _setmode(_fileno(stdin), _O_BINARY);
  PrepareConsoleOutput();
}

bool StdoutIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

void DropTypedAhead() { FlushConsoleInputBuffer(GetStdHandle(STD_INPUT_HANDLE)); }

// _getch puts the console in its own mode for each key and back after it:
// nothing is held between keys, and a console has no job control (Ctrl-Z
// is a key like any other).
TerminalKeys::TerminalKeys() { DropTypedAhead(); }

TerminalKeys::~TerminalKeys() = default;

std::optional<std::string> TerminalKeys::Next() {
  int first = _getch();
  if (first == EOF) return std::nullopt;
  if (first == 0x03) {
    // Ctrl-C read as a key: end as an interrupt does. _getch has already
    // put the console back in its own mode.
    std::signal(SIGINT, SIG_DFL);
    std::raise(SIGINT);
  }
  std::string key(1, static_cast<char>(first));
  if (IsExtendedPrefix(first)) {
    // An extended key is two codes: 0 or 0xE0, then the key's own code.
    int second = _getch();
    if (second == EOF) return std::nullopt;
    key.push_back(static_cast<char>(second));
  }
  return key;
}

}  // namespace platform
