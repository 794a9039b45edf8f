#include "platform/interpreter/parse.h"

namespace platform::commands {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Reads the name of a redirection target starting at `i`; leaves `i` after it.
std::string ReadTarget(std::string_view line, size_t& i) {
  while (i < line.size() && IsBlank(line[i])) ++i;
  std::string name;
  bool quoted = false;
  for (; i < line.size(); ++i) {
    char c = line[i];
    if (c == '"') {
      quoted = !quoted;
      continue;
    }
    if (!quoted && (IsBlank(c) || c == '>')) break;
    name.push_back(c);
  }
  return name;
}

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

CommandLine SplitRedirections(std::string_view line) {
  CommandLine parsed;
  bool quoted = false;
  size_t i = 0;
  while (i < line.size()) {
    char c = line[i];
    if (c == '"') quoted = !quoted;
    if (quoted || c != '>') {
      parsed.command.push_back(c);
      ++i;
      continue;
    }
    Redirection redirection;
    ++i;
    if (i < line.size() && line[i] == '>') {
      redirection.append = true;
      ++i;
    }
    redirection.target = ReadTarget(line, i);
    parsed.redirections.push_back(std::move(redirection));
    parsed.command.push_back(' ');
  }
  parsed.command = std::string(TrimBlanks(parsed.command));
  return parsed;
}

std::vector<Word> SplitWords(std::string_view text) {
  std::vector<Word> words;
  size_t i = 0;
  while (i < text.size()) {
    if (IsBlank(text[i])) {
      ++i;
      continue;
    }
    Word word;
    bool quoted = false;
    for (; i < text.size() && (quoted || !IsBlank(text[i])); ++i) {
      if (text[i] == '"') {
        quoted = !quoted;
        word.quoted = true;
        continue;
      }
      word.text.push_back(text[i]);
    }
    words.push_back(std::move(word));
  }
  return words;
}

std::string_view TakeRawWord(std::string_view& text) {
  text = TrimBlanks(text);
  size_t i = 0;
  bool quoted = false;
  for (; i < text.size() && (quoted || !IsBlank(text[i])); ++i) {
    if (text[i] == '"') quoted = !quoted;
  }
  std::string_view word = text.substr(0, i);
  text = TrimBlanks(text.substr(i));
  return word;
}

bool IsSwitch(const Word& word) {
  const std::string& text = word.text;
  if (word.quoted || text.size() < 2 || text[0] != '/') return false;
  size_t part = 0;
  for (size_t i = 1; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == '/') {
      if (part == 0 || part > 2) return false;
      part = 0;
      continue;
    }
    if (text[i] == '\\' || text[i] == '.') return false;
    ++part;
  }
  return true;
}

std::string SwitchLetters(const std::vector<Word>& words) {
  std::string letters;
  for (const Word& word : words) {
    if (!IsSwitch(word)) continue;
    for (char c : word.text) {
      if (c != '/') letters.push_back((c >= 'A' && c <= 'Z') ? char(c + 32) : c);
    }
  }
  return letters;
}

std::vector<std::string> Operands(const std::vector<Word>& words) {
  std::vector<std::string> operands;
  for (const Word& word : words) {
    if (!IsSwitch(word)) operands.push_back(word.text);
  }
  return operands;
}

}  // namespace platform::commands
