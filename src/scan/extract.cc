// Word extraction over the page set. Pages are scanned in pieces on all
// cores; one thread takes the pieces' words in page order into the word
// data, numbering the occurrences and writing them, and each page's words,
// to the binary work files.
#include "scan/extract.h"

#include <algorithm>
#include <limits>
#include <memory>

#include "common/bytes.h"
#include "platform/binary_file.h"
#include "platform/lines.h"
#include "platform/paths.h"
#include "run/commands.h"
#include "run/work_files.h"

namespace scan {
namespace {

constexpr uint64_t kNone = std::numeric_limits<uint64_t>::max();

// Takes the scanned pieces in page order into the word data.
class Collector {
 public:
  Collector(runctx::RunContext& run, runctx::WordData& data)
      : run_(run),
        data_(data),
        occurrences_(data.occurrence_file),
        page_words_(data.page_word_file) {}

  // The pieces of a page, in order; the last one closes the page.
  void AddPiece(size_t page, const PageWords& scanned, bool last);

  void Finish() {
    occurrences_.Close();
    page_words_.Close();
    data_.group_count = group_;
  }

 private:
  struct Found {
    uint32_t line, column, form, word, number;
  };

  // The form of `text` (whose hash is `hash`), interned; its word is
  // interned from its lower case.
  uint32_t FormOf(std::string_view text, uint64_t hash);
  void NumberLine(size_t from, size_t to);
  int NextGroup();
  void EndPage(size_t page);

  runctx::RunContext& run_;
  runctx::WordData& data_;
  platform::BinaryWriter occurrences_;
  platform::BinaryWriter page_words_;
  std::vector<bool> form_dropped_;  // its lower case holds "&nbsp;"
  std::vector<uint32_t> seen_;      // occurrences numbered so far, by word
  std::vector<uint64_t> slot_page_; // the page (1-based) a word's slot belongs to
  std::vector<uint32_t> slot_;      // by word: its PageWord on that page
  std::vector<uint64_t> previous_;  // by word: its PageWord on its previous page
  std::vector<uint64_t> line_stamp_;  // by word: the last line (serial) it stood on
  uint64_t line_serial_ = 0;
  std::vector<Found> found_;
  std::vector<size_t> order_;
  std::vector<runctx::PageWord> page_list_;  // the words of the page so far
  uint64_t page_occurrences_ = 0;            // its occurrences so far
  bool page_open_ = false;
  int group_ = 0;
  int in_group_ = 0;
  std::string lower_;
};

uint32_t Collector::FormOf(std::string_view text, uint64_t hash) {
  const auto [form, new_form] = data_.forms.Intern(text, hash);
  if (!new_form) return form;
  lower_ = common::Lower(text);
  form_dropped_.push_back(common::Contains(lower_, "&nbsp;"));
  const auto [word, new_word] = data_.lower.Intern(lower_, common::HashBytes(lower_));
  if (new_word) {
    data_.words.emplace_back();
    seen_.push_back(0);
    slot_page_.push_back(0);
    slot_.push_back(0);
    previous_.push_back(kNone);
    line_stamp_.push_back(0);
    for (auto& counts : data_.group_counts) counts.push_back(0);
  }
  data_.form_word.push_back(word);
  return form;
}

// The occurrences of one line [from, to) of found_: a word's occurrences
// are numbered by the form as written, then by position.
void Collector::NumberLine(size_t from, size_t to) {
  // Most lines hold each word once: then position order is number order.
  ++line_serial_;
  bool repeated = false;
  for (size_t i = from; i < to && !repeated; ++i) {
    uint64_t& stamp = line_stamp_[found_[i].word];
    repeated = stamp == line_serial_;
    stamp = line_serial_;
  }
  if (!repeated) {
    for (size_t i = from; i < to; ++i) found_[i].number = ++seen_[found_[i].word];
    return;
  }
  order_.clear();
  for (size_t i = from; i < to; ++i) order_.push_back(i);
  std::sort(order_.begin(), order_.end(), [&](size_t a, size_t b) {
    const Found& x = found_[a];
    const Found& y = found_[b];
    if (x.word != y.word) return x.word < y.word;
    if (x.form != y.form) return runctx::FieldLess(data_.Form(x.form), data_.Form(y.form));
    return x.column < y.column;
  });
  for (size_t i : order_) found_[i].number = ++seen_[found_[i].word];
}

// The group of the next page that holds words: as many pages a group as
// txt_in listed files. A full group opens the next one at once, so a page
// count that is a multiple of the group size leaves a last, empty group.
int Collector::NextGroup() {
  if (group_ == 0) group_ = 1;
  const int group = group_;
  if (++in_group_ == run_.input_count) {
    in_group_ = 0;
    ++group_;
  }
  return group;
}

// A piece holds whole lines, so its lines are numbered as they come; the
// page's own words are kept until its last piece.
void Collector::AddPiece(size_t page, const PageWords& scanned, bool last) {
  runctx::PageInfo& info = data_.pages[page];
  if (!page_open_) {
    page_open_ = true;
    info.first_occurrence = data_.occurrence_count;
    info.first_page_word = data_.page_word_count;
    page_list_.clear();
    page_occurrences_ = 0;
  }
  found_.clear();
  for (size_t i = 0; i < scanned.taken.size(); ++i) {
    const uint32_t form = FormOf(scanned.WordAt(i), scanned.taken[i].hash);
    if (form_dropped_[form]) continue;
    found_.push_back({scanned.taken[i].line, scanned.taken[i].column, form,
                      data_.form_word[form], 0});
  }
  if (found_.empty()) {
    if (last) EndPage(page);
    return;
  }
  if (info.group == 0) {
    info.group = NextGroup();
    if (data_.group_counts.size() < static_cast<size_t>(info.group)) {
      data_.group_counts.resize(info.group, std::vector<uint32_t>(data_.words.size(), 0));
    }
  }
  for (size_t from = 0; from < found_.size();) {
    size_t to = from + 1;
    while (to < found_.size() && found_[to].line == found_[from].line) ++to;
    NumberLine(from, to);
    from = to;
  }
  std::vector<uint32_t>& group_counts = data_.group_counts[info.group - 1];
  for (const Found& f : found_) {
    runctx::WordInfo& word = data_.words[f.word];
    if (word.count++ == 0) word.first_form = f.form;
    ++group_counts[f.word];
    if (slot_page_[f.word] != page + 1) {
      slot_page_[f.word] = page + 1;
      slot_[f.word] = static_cast<uint32_t>(page_list_.size());
      page_list_.push_back({f.word, 0, f.number, f.form, 0});
    }
    ++page_list_[slot_[f.word]].count;
    occurrences_.Put(runctx::Occurrence{f.line, f.column, f.form, f.number});
  }
  page_occurrences_ += found_.size();
  if (last) EndPage(page);
}

// Each word of the page, with its highest number there and the next page
// that holds it.
void Collector::EndPage(size_t page) {
  page_open_ = false;
  if (page_occurrences_ == 0) return;
  runctx::PageInfo& info = data_.pages[page];
  for (runctx::PageWord& entry : page_list_) {
    entry.last_number = seen_[entry.word];
    const uint64_t index = data_.page_word_count++;
    if (previous_[entry.word] != kNone) {
      data_.next_page[previous_[entry.word]] = static_cast<uint32_t>(page + 1);
    }
    previous_[entry.word] = index;
    data_.next_page.push_back(0);
    ++data_.words[entry.word].pages;
    page_words_.Put(entry);
  }
  info.occurrence_count = static_cast<uint32_t>(page_occurrences_);
  info.page_word_count = static_cast<uint32_t>(page_list_.size());
  data_.occurrence_count += page_occurrences_;
}

// The page names of dir_02.txt, lower-cased; lines without ".htm" are
// passed over.
std::vector<std::string> ListedPages(runctx::RunContext& run) {
  std::vector<std::string> names;
  platform::LineReader pages = runctx::OpenListing(run, runctx::kDir02);
  std::string_view entry;
  while (pages.Next(&entry)) {
    std::string page = common::Lower(entry);
    if (page.find(".htm") != std::string::npos) names.push_back(std::move(page));
  }
  return names;
}

}  // namespace

void ExtractWords(runctx::RunContext& run) { ExtractWordsWithin(run, ScanLimits{}); }

void ExtractWordsWithin(runctx::RunContext& run, const ScanLimits& limits) {
  runctx::RunCommand(run, "dir /b page_*.htm > dir_02.txt");
  auto data = std::make_shared<runctx::WordData>();
  std::vector<std::string> names = ListedPages(run);
  std::vector<platform::HostPath> hosts;
  for (std::string& name : names) {
    hosts.push_back(run.paths.ForRead(name));
    data->pages.push_back(runctx::PageInfo{std::move(name)});
  }
  platform::MakeFolder(run.paths.ForWrite(runctx::kWordFolder));
  data->occurrence_file = run.paths.ForWrite(runctx::kOccurrenceFile);
  data->page_word_file = run.paths.ForWrite(runctx::kPageWordFile);
  run.word_data = data;
  Collector collector(run, *data);
  ScanInPieces(hosts, run.threads, limits,
               [&](size_t page, const PageWords& piece, bool last) {
                 collector.AddPiece(page, piece, last);
               });
  collector.Finish();
  runctx::Progress(run, 10);
}

}  // namespace scan
