// Page lines through the word scanner. Every word taken must be a piece of
// its line of three bytes or more (quotes treated), the words must come in
// order without overlapping, and the scan must never read outside the line.
#include <string>
#include <vector>

#include "fuzz/fuzz_targets.h"
#include "scan/line_scan.h"

namespace fuzz {
namespace {

// Checks the words `scan::ScanLine` took from `line`.
void CheckWords(std::string_view line, const std::vector<scan::Word>& words) {
  size_t end_of_previous = 0;  // 1-based position after the previous word
  for (const scan::Word& word : words) {
    Check(word.text.size() >= 3, "a word has three bytes or more");
    Check(word.position >= 1 && word.position - 1 + word.text.size() <= line.size(),
          "a word lies inside its line");
    Check(word.position >= end_of_previous, "words come in order and do not overlap");
    Check(word.scan_position >= word.position && word.scan_position <= line.size(),
          "a word is taken at a position of its line after its start");
    for (size_t k = 0; k < word.text.size(); ++k) {
      char in_line = line[word.position - 1 + k];
      Check(word.text[k] == (in_line == '"' ? '\'' : in_line),
            "a word is the line's bytes, inner quotes made apostrophes");
    }
    Check(word.text.find(' ') == std::string::npos, "a word holds no blank");
    end_of_previous = word.position + word.text.size();
  }
}

}  // namespace

int ScanLineInput(const uint8_t* data, size_t size) {
  scan::PageScan state;
  state.Reset();
  std::vector<scan::Word> words;
  ForEachLine(data, size, /*max_lines=*/256, [&](std::string_view line) {
    // The scanner gets a copy of exactly the line's bytes, so that reading
    // past its end is an overflow the address sanitizer sees.
    std::string copy(line);
    std::string_view exact(copy.data(), copy.size());
    if (scan::ScanLine(exact, state, &words)) {
      CheckWords(exact, words);
    } else {
      Check(words.empty(), "a skipped line gives no words");
    }
  });
  return 0;
}

}  // namespace fuzz
