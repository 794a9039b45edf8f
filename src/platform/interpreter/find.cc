// "find" and "findstr": the lines of a file that contain a text. find
// prints a header naming the file (upper-cased) before the lines, or with
// /c the count after it; findstr prints the lines alone, and any of several
// blank-separated words in its quotes makes a line match.
#include <string>
#include <vector>

#include "common/bytes.h"
#include "platform/interpreter/command.h"
#include "platform/interpreter/listing.h"
#include "platform/interpreter/parse.h"
#include "platform/lines.h"

namespace platform::commands {
namespace {

bool Has(std::string_view line, std::string_view text, bool ignore_case) {
  return ignore_case ? common::FindNoCase(line, text) != std::string_view::npos
                     : common::Contains(line, text);
}

bool StartsWith(std::string_view line, std::string_view text, bool ignore_case) {
  return line.size() >= text.size() &&
         (ignore_case ? common::EqualsNoCase(line.substr(0, text.size()), text)
                      : line.substr(0, text.size()) == text);
}

bool EndsWith(std::string_view line, std::string_view text, bool ignore_case) {
  return line.size() >= text.size() &&
         (ignore_case ? common::EqualsNoCase(line.substr(line.size() - text.size()), text)
                      : line.substr(line.size() - text.size()) == text);
}

// Opens a file named by the command for reading; nullopt when it is missing.
std::optional<platform::LineReader> OpenInput(Command& command, std::string_view name) {
  std::optional<fs::path> host = command.paths().Resolve(name);
  std::error_code error;
  if (!host || !fs::is_regular_file(*host, error)) return std::nullopt;
  platform::LineReader reader(*host);
  if (!reader.is_open()) return std::nullopt;
  return reader;
}

struct FindstrOptions {
  bool ignore_case = false;
  bool invert = false;
  bool numbers = false;
  bool at_start = false;
  bool at_end = false;
  std::vector<std::string> texts;  // a line matches when it holds any
  std::vector<std::string> files;
};

bool FindstrMatch(const FindstrOptions& options, std::string_view line) {
  for (const std::string& text : options.texts) {
    if (text.empty()) continue;
    bool hit = options.at_start || options.at_end
                   ? (!options.at_start || StartsWith(line, text, options.ignore_case)) &&
                         (!options.at_end || EndsWith(line, text, options.ignore_case))
                   : Has(line, text, options.ignore_case);
    if (hit) return true;
  }
  return false;
}

FindstrOptions ReadFindstr(const std::vector<Word>& words) {
  FindstrOptions options;
  bool have_texts = false;
  for (const Word& word : words) {
    std::string folded = common::Lower(word.text);
    if (!word.quoted && folded.starts_with("/c:")) {
      options.texts.push_back(word.text.substr(3));
      have_texts = true;
    } else if (IsSwitch(word)) {
      for (char c : folded) {
        options.ignore_case |= c == 'i';
        options.invert |= c == 'v';
        options.numbers |= c == 'n';
        options.at_start |= c == 'b' || c == 'x';
        options.at_end |= c == 'e' || c == 'x';
      }
    } else if (!have_texts) {
      // Text is taken literally; blanks separate alternatives.
      for (const Word& part : SplitWords(word.text)) options.texts.push_back(part.text);
      have_texts = true;
    } else {
      options.files.push_back(word.text);
    }
  }
  return options;
}

}  // namespace

void RunFind(Command& command) {
  std::string switches = SwitchLetters(command.words);
  bool ignore_case = switches.find('i') != std::string::npos;
  bool count_only = switches.find('c') != std::string::npos;
  bool invert = switches.find('v') != std::string::npos;
  bool numbers = switches.find('n') != std::string::npos;
  std::vector<std::string> operands = Operands(command.words);
  if (operands.size() < 2) {
    command.Error("FIND: Parameter format not correct");
    return;
  }
  const std::string& text = operands[0];
  for (size_t f = 1; f < operands.size(); ++f) {
    std::optional<platform::LineReader> reader = OpenInput(command, operands[f]);
    if (!reader) {
      command.Error("File not found - " + operands[f]);
      continue;
    }
    std::string header = "---------- " + common::Upper(operands[f]);
    command.out.Line("");
    if (!count_only) command.out.Line(header);
    long long count = 0, number = 0;
    std::string_view line;
    while (reader->Next(&line)) {
      ++number;
      if (Has(line, text, ignore_case) == invert) continue;
      ++count;
      if (count_only) continue;
      command.out.Line(numbers ? "[" + std::to_string(number) + "]" + std::string(line)
                               : std::string(line));
    }
    if (count_only) command.out.Line(header + ": " + std::to_string(count));
  }
}

void RunFindstr(Command& command) {
  FindstrOptions options = ReadFindstr(command.words);
  if (options.texts.empty() || options.files.empty()) {
    command.Error("FINDSTR: Bad command line");
    return;
  }
  std::vector<std::string> files;
  for (const std::string& file : options.files) {
    if (!HasWildcard(file)) {
      files.push_back(file);
      continue;
    }
    Selection selection = Select(command.paths(), file);
    for (const Entry& entry : selection.entries) {
      if (!entry.is_folder) files.push_back(selection.prefix + entry.name);
    }
  }
  // Several files: each line is named by its file, as the home platform does.
  bool name_lines = files.size() > 1 || HasWildcard(options.files.front());
  for (const std::string& file : files) {
    std::optional<platform::LineReader> reader = OpenInput(command, file);
    if (!reader) {
      command.Error("FINDSTR: Cannot open " + file);
      continue;
    }
    std::string_view line;
    long long number = 0;
    while (reader->Next(&line)) {
      ++number;
      if (FindstrMatch(options, line) == options.invert) continue;
      std::string shown = name_lines ? file + ":" : std::string();
      if (options.numbers) shown += std::to_string(number) + ":";
      command.out.Line(shown.empty() ? line : std::string_view(shown += line));
    }
  }
}

}  // namespace platform::commands
