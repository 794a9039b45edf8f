// A page through the page-set cleaning, line by line with the table state
// carried over as the page set does, and each cleaned line through the word
// scanner. A cleaned line outside a table starts with "<br>" and holds no
// byte below 16; one inside a table is the line without trailing blanks.
#include <string>
#include <vector>

#include "common/bytes.h"
#include "fuzz/fuzz_targets.h"
#include "scan/line_scan.h"
#include "scan/page_set.h"

namespace fuzz {

int CleanPageInput(const uint8_t* data, size_t size) {
  bool table_mode = false;
  std::string cleaned;
  scan::PageScan state;
  state.Reset();
  std::vector<scan::Word> words;
  ForEachLine(data, size, /*max_lines=*/256, [&](std::string_view raw) {
    std::string copy(raw);
    std::string_view line(copy.data(), copy.size());
    if (!scan::CleanLine(line, &table_mode, &cleaned)) {
      Check(common::Contains(line, "<pre>") || common::Contains(line, "</pre>"),
            "only a <pre> wrapper line is dropped");
      return;
    }
    std::string_view text = common::TrimRight(line);
    // Each leading blank stays and gains an "&nbsp;": seven bytes for one.
    Check(cleaned.size() <= 4 + 7 * text.size(), "a cleaned line grows at most seven times");
    if (table_mode) {
      Check(cleaned == text, "a table line is kept without its trailing blanks");
    } else {
      Check(cleaned.starts_with("<br>"), "a line outside a table starts with <br>");
      for (char c : cleaned) Check(static_cast<unsigned char>(c) >= 16, "no byte below 16");
    }
    std::string_view exact(cleaned.data(), cleaned.size());
    if (scan::ScanLine(exact, state, &words)) {
      for (const scan::Word& word : words) {
        Check(word.position - 1 + word.text.size() <= exact.size(), "a word lies inside its line");
      }
    }
  });
  return 0;
}

}  // namespace fuzz
