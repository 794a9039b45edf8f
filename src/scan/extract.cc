// Word extraction over the page set: each page is read line by line, each
// line goes through the word scanner, and every word taken becomes a record
// of wrd_01.txt and a line of the page's extraction listing.
#include "scan/extract.h"

#include <string>
#include <utility>
#include <vector>

#include "common/bytes.h"
#include "common/lines.h"
#include "common/record.h"
#include "driver/conventions.h"
#include "scan/line_scan.h"

namespace scan {
namespace {

// Everything reused from page to page and line to line, so that the hot
// loop allocates nothing for typical lines.
struct Extraction {
  explicit Extraction(common::LineWriter out) : records(std::move(out)) {}

  common::LineWriter records;
  PageScan state;
  std::vector<Word> words;
  std::string record;
  std::string listing_line;
  const std::string rule = std::string(49, '=');
};

void WriteWords(Extraction& x, common::LineWriter& listing, const std::string& page,
                const std::string& line_field) {
  for (const Word& word : x.words) {
    x.record.clear();
    common::AppendRecord(x.record, {word.text, page, line_field,
                                    common::PadLeft(std::to_string(word.position), /*width=*/6),
                                    word.text});
    x.records.Line(x.record);
    x.listing_line.clear();
    const long long scan_position = static_cast<long long>(word.scan_position);
    common::AppendZone(x.listing_line, common::Labelled(scan_position));
    x.listing_line += word.text;
    listing.Line(x.listing_line);
  }
}

// One page: its words into wrd_01.txt, its scanned lines and their words
// into the listing. Every physical line counts, also those skipped.
void ExtractPage(driver::RunContext& run, Extraction& x, const std::string& page,
                 const std::string& listing_name) {
  common::LineWriter listing = driver::CreateFile(run, listing_name);
  common::LineReader in = driver::OpenListing(run, page);
  x.state.Reset();
  long long line_number = 0;
  std::string_view line;
  while (in.Next(&line)) {
    ++line_number;
    if (!ScanLine(line, x.state, &x.words)) continue;
    listing.Line(x.rule);
    listing.Line(line);
    if (x.words.empty()) continue;
    WriteWords(x, listing, page, common::PadLeft(std::to_string(line_number), /*width=*/10));
  }
  in.Close();
  listing.Close();
}

}  // namespace

void ExtractWords(driver::RunContext& run) {
  driver::RunCommand(run, "dir /b page_*.htm > dir_02.txt");
  Extraction x(driver::CreateFile(run, "wrd_01.txt"));
  common::LineReader pages = driver::OpenListing(run, "dir_02.txt");
  std::string_view entry;
  while (pages.Next(&entry)) {
    std::string page = common::Lower(entry);
    size_t dot = page.find(".htm");
    if (dot == std::string::npos) continue;
    ExtractPage(run, x, page, page.substr(0, dot) + ".txt");
  }
  pages.Close();
  x.records.Close();
  driver::Progress(run, 10);
}

}  // namespace scan
