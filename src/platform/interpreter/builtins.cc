// The interpreter's own commands: "cmd /c" (a nested interpreter), "for"
// (one command per matching file), "cd" (no lasting effect: every line
// starts in the program's folder) and "chcp".
#include <string>

#include "common/bytes.h"
#include "platform/interpreter/command.h"
#include "platform/interpreter/listing.h"
#include "platform/interpreter/parse.h"

namespace platform::commands {
namespace {

// Replaces every `variable` ("%i") in `body` by `value`.
std::string Substitute(std::string_view body, std::string_view variable, std::string_view value) {
  std::string result;
  size_t start = 0;
  for (size_t hit; (hit = body.find(variable, start)) != std::string_view::npos;
       start = hit + variable.size()) {
    result.append(body.substr(start, hit - start)).append(value);
  }
  result.append(body.substr(start));
  return result;
}

// The items of a "for" set: a wildcard stands for the matching files (never
// folders) in listing order, named with the pattern's folder prefix; any
// other item stands for itself.
std::vector<std::string> ExpandSet(const Paths& paths, std::string_view set) {
  std::vector<std::string> items;
  for (const Word& word : SplitWords(set)) {
    if (!HasWildcard(word.text)) {
      items.push_back(word.text);
      continue;
    }
    Selection selection = Select(paths, word.text);
    for (const Entry& entry : selection.entries) {
      if (!entry.is_folder) items.push_back(selection.prefix + entry.name);
    }
  }
  return items;
}

}  // namespace

void RunCmd(Command& command) {
  std::string_view rest = command.rest;
  while (!rest.empty()) {
    std::string_view word = TakeRawWord(rest);
    if (common::EqualsNoCase(word, "/c") || common::EqualsNoCase(word, "/k")) {
      command.shell.RunNested(rest, command.out);
      return;
    }
  }
}

void RunFor(Command& command) {
  // for %i in (SET) do BODY
  std::string_view rest = command.rest;
  std::string_view variable = TakeRawWord(rest);
  std::string_view in = TakeRawWord(rest);
  size_t open = rest.find('(');
  size_t close = rest.find(')');
  if (variable.empty() || !common::EqualsNoCase(in, "in") || open != 0 ||
      close == std::string_view::npos) {
    command.Error(kSyntaxError);
    return;
  }
  std::string_view set = rest.substr(1, close - 1);
  rest = rest.substr(close + 1);
  std::string_view keyword = TakeRawWord(rest);
  if (!common::EqualsNoCase(keyword, "do") || rest.empty()) {
    command.Error(kSyntaxError);
    return;
  }
  // The set is listed once, before the body runs: a body that deletes or
  // creates files does not change the loop.
  for (const std::string& item : ExpandSet(command.paths(), set)) {
    command.shell.RunNested(Substitute(rest, variable, item), command.out);
  }
}

void RunCd(Command& command) {
  std::vector<std::string> operands = Operands(command.words);
  if (operands.empty()) {
    command.out.Line(Paths::Native(command.paths().root()));
    return;
  }
  // Each line runs in a fresh interpreter in the program's folder, so a
  // change of folder would end with the line: only the check remains.
  std::optional<fs::path> host = command.paths().Resolve(operands.front());
  std::error_code error;
  if (host && !fs::is_directory(*host, error)) command.Error(kPathNotFound);
}

void RunChcp(Command& command) { command.out.Line("Active code page: 65001"); }

}  // namespace platform::commands
