#include "driver/command_line.h"

#include <cstdio>
#include <string>

#include "driver/identity.h"
#include "platform/console.h"

namespace driver {
namespace {

// An argument as it is shown on the error stream: control bytes as \xNN,
// so a stray escape sequence cannot act on the terminal.
std::string Shown(std::string_view argument) {
  std::string shown;
  for (char c : argument) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 32 || byte == 127) {
      char code[5];
      std::snprintf(code, sizeof code, "\\x%02X", byte);
      shown += code;
    } else {
      shown += c;
    }
  }
  return shown;
}

// --help, and the short forms people type by habit: -h, and /? on Windows.
bool AsksForHelp(std::string_view argument) {
  return argument == "--help" || argument == "-h" || argument == "/?";
}

void PrintHelp(platform::Console& console, std::string_view program_name) {
  // The executable's name: the program name with "exe" as its suffix.
  const size_t stem = program_name.size() >= 3 ? program_name.size() - 3 : 0;
  const std::string executable = std::string(program_name.substr(0, stem)) + "exe";
  console.Line(executable + " " + std::string(kVersion) +
               ": turns a folder of UTF-8 text files into HTML pages.");
  console.Line("It works in its own folder, the folder of the program: it reads the *.txt");
  console.Line("files of txt_in beside it and writes into htm_out annotated pages, word index");
  console.Line("pages, search pages and a main index (open htm_out/index.htm).");
  if (std::optional<std::string> site = DeriveTargetSite(executable)) {
    console.Line("Its web searches are restricted to " + *site + ".");
  }
  console.Line("Give the program a folder of its own: each run empties htm_out and deletes");
  console.Line("*.txt, *.list and *.htm* files beside the program; txt_in is only read.");
  console.Line("Answer its screens at the keyboard, or pipe the answers in (1 three times to");
  console.Line("continue, a web address to restrict searches to or an empty line, any key):");
  console.Line("  printf '1\\n1\\n1\\nwww.example.org\\n\\n' | ./" + executable);
  console.Line("Set SOURCE_DATE_EPOCH (seconds since 1970) for byte-identical output.");
  console.Line("More in README.md, at the top of the program's source folder.");
  console.Line("Options: --help, -h or /? (this text), --version (program name and version).");
}

}  // namespace

std::optional<int> AnswerArguments(int argc, char** argv, std::string_view program_name) {
  if (argc <= 1) return std::nullopt;
  platform::Console console = platform::Console::Standard();
  for (int i = 1; i < argc; ++i) {
    std::string_view argument = argv[i];
    if (AsksForHelp(argument) || argument == "--version") continue;
    console.Error(std::string(program_name) + ": unknown argument: " + Shown(argument));
    console.Error("Try " + std::string(program_name) + " --help");
    console.Flush();
    return 2;
  }
  if (AsksForHelp(argv[1])) {
    PrintHelp(console, program_name);
  } else {
    console.Line(std::string(program_name) + " " + std::string(kVersion));
  }
  console.Flush();
  return 0;
}

}  // namespace driver
