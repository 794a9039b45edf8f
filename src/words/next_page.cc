// Step 8 of the word list pipeline: the next page of every occurrence.
// wrd_03.txt lists the records of one word id together, and
// within a word its pages in ascending order (it is sorted by word, then
// page), so one pass over it finds, for each word and page, the word's
// next page. Those (page, id, next page) entries are sorted by page; the
// group lists then look them up one page at a time.
//
// No per-word id file is made: the records of one word id stand together in
// wrd_03.txt, which serves as their index, and the later phases find what
// they need in streaming passes. One file per distinct word (tens of
// thousands on a large folder) cost more than all the rest of the step.
#include <cstdint>
#include <fstream>
#include <string>
#include <unordered_map>
#include <utility>

#include "common/bytes.h"
#include "common/lines.h"
#include "common/record.h"
#include "driver/conventions.h"
#include "words/file_sort.h"
#include "words/pipeline_steps.h"
#include "words/record_io.h"

namespace words {
namespace {

// Scratch files of this step only: the next-page entries, and sorted.
constexpr std::string_view kEntries = "wrd_21.txt";
constexpr std::string_view kEntriesByPage = "wrd_22.txt";

// One pass over wrd_03.txt: one entry per word and page, holding the page
// of the word's next run of records when it compares greater, else empty.
void WriteEntries(driver::RunContext& run) {
  RecordReader in(run, "wrd_03.txt");
  RecordWriter entries(run, kEntries);
  std::string id;
  std::string page;
  bool first = true;
  while (in.Next()) {
    std::string_view record_page = in.field(0), record_id = in.field(4);
    if (first || record_id != id) {
      if (!first) entries.Write({page, id, ""});
      first = false;
      id.assign(record_id);
      page.assign(record_page);
    } else if (record_page != page) {
      entries.Write({page, id, record_page > page ? record_page : std::string_view()});
      page.assign(record_page);
    }
  }
  if (!first) entries.Write({page, id, ""});
  entries.Close();
}

// Where the entries of each page lie in the sorted entry file.
using PageBlocks = std::unordered_map<std::string, std::pair<std::uint64_t, std::uint64_t>,
                                      ViewHash, std::equal_to<>>;

// Reads the sorted entries once and notes each page's byte range. Every
// line was written by the file sort and so ends with CR LF.
PageBlocks IndexEntries(driver::RunContext& run) {
  PageBlocks blocks;
  common::LineReader in = driver::OpenListing(run, kEntriesByPage);
  std::vector<std::string_view> fields;
  std::string page;
  std::uint64_t offset = 0;
  std::uint64_t start = 0;
  std::string_view line;
  while (in.Next(&line)) {
    common::SplitRecord(line, &fields);
    std::string_view entry_page = fields.empty() ? std::string_view() : fields[0];
    if (offset == 0 || entry_page != page) {
      if (offset > 0) blocks.try_emplace(page, start, offset - start);
      page.assign(entry_page);
      start = offset;
    }
    offset += line.size() + 2;
  }
  if (offset > 0) blocks.try_emplace(page, start, offset - start);
  return blocks;
}

// The next page of each word on one page, read from the sorted entries.
class NextPages {
 public:
  NextPages(driver::RunContext& run, PageBlocks blocks)
      : blocks_(std::move(blocks)),
        file_(run.paths.ForRead(kEntriesByPage), std::ios::binary) {}

  // Loads the entries of `page` (none when the page has none).
  void Load(std::string_view page) {
    next_.clear();
    bytes_.clear();
    auto hit = blocks_.find(page);
    if (hit == blocks_.end()) return;
    bytes_.resize(hit->second.second);
    file_.clear();
    file_.seekg(static_cast<std::streamoff>(hit->second.first));
    file_.read(bytes_.data(), static_cast<std::streamsize>(bytes_.size()));
    bytes_.resize(static_cast<size_t>(file_.gcount()));
    std::string_view rest = bytes_;
    while (!rest.empty()) {
      size_t end = rest.find("\r\n");
      std::string_view line = rest.substr(0, end);
      rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 2);
      common::SplitRecord(line, &fields_);
      if (fields_.size() >= 3) next_.try_emplace(fields_[1], fields_[2]);
    }
  }

  std::string_view Of(std::string_view id) const {
    auto hit = next_.find(id);
    return hit == next_.end() ? std::string_view() : hit->second;
  }

 private:
  PageBlocks blocks_;
  std::ifstream file_;
  std::string bytes_;
  std::vector<std::string_view> fields_;
  std::unordered_map<std::string_view, std::string_view> next_;
};

// wrd_12_<g>.txt -> wrd_24_<g>.txt: each record with its next page.
void WriteGroupNextPages(driver::RunContext& run, NextPages& next_pages, int group) {
  std::string g = std::to_string(group);
  RecordReader in(run, "wrd_12_" + g + ".txt");
  RecordWriter out(run, "wrd_24_" + g + ".txt");
  std::string page;
  bool loaded = false;
  while (in.Next()) {
    // wrd_12_<g>.txt: page, line, column, word, id, occurrence.
    if (!loaded || in.field(0) != page) {
      page.assign(in.field(0));
      next_pages.Load(page);
      loaded = true;
    }
    out.Write({in.field(0), in.field(1), in.field(2), in.field(3), in.field(4), in.field(5),
               next_pages.Of(in.field(4))});
  }
  out.Close();
}

}  // namespace

void WriteNextPages(driver::RunContext& run, int group_count) {
  WriteEntries(run);
  SortFile(run, kEntries, kEntriesByPage);
  {
    NextPages next_pages(run, IndexEntries(run));
    for (int group = 1; group <= group_count; ++group) WriteGroupNextPages(run, next_pages, group);
  }
  RemoveWorkFile(run, kEntries);
  RemoveWorkFile(run, kEntriesByPage);
}

}  // namespace words
