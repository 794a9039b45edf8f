// The fuzz targets: each takes one input of bytes, runs it through one part
// of the program and aborts when a property of that part does not hold.
// libFuzzer drives them (fuzz_main.cc); the unit tests replay their corpora.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace fuzz {

/// Page lines (the input split at LF) through the word scanner, as one page.
int ScanLineInput(const uint8_t* data, size_t size);
/// Page lines through the page-set cleaning, table mode carried from line to
/// line, then through the word scanner.
int CleanPageInput(const uint8_t* data, size_t size);
/// Command lines (the input split at LF) through the interpreter, in a
/// scratch program folder beside a folder that must never change.
int InterpreterInput(const uint8_t* data, size_t size);

/// Aborts with `what` on the error stream when `holds` is false: a finding.
void Check(bool holds, std::string_view what);

/// The input's lines, split at LF, at most `max_lines` of them.
template <typename Visit>
void ForEachLine(const uint8_t* data, size_t size, size_t max_lines, Visit visit) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  for (size_t count = 0; count < max_lines && !text.empty(); ++count) {
    size_t end = text.find('\n');
    visit(text.substr(0, end));
    if (end == std::string_view::npos) return;
    text.remove_prefix(end + 1);
  }
}

}  // namespace fuzz
