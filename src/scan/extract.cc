// Word extraction over the page set. Pages are scanned in batches on all
// cores; one thread then takes each batch's words in page order into the
// word data, numbering the occurrences and writing them, and each page's
// words, to the binary work files.
#include "scan/extract.h"

#include <algorithm>
#include <functional>
#include <future>
#include <limits>
#include <memory>

#include "common/bytes.h"
#include "common/parallel.h"
#include "platform/binary_file.h"
#include "platform/lines.h"
#include "platform/paths.h"
#include "run/commands.h"
#include "run/work_files.h"

namespace scan {
namespace {

constexpr uint64_t kNone = std::numeric_limits<uint64_t>::max();
// Pages scanned before their words are taken in: a few per thread, so the
// scans of a batch keep every core busy while memory holds one batch.
constexpr size_t kPagesPerThread = 4;
// Read buffer of a page being scanned.
constexpr size_t kPageBuffer = size_t{1} << 16;

// Takes the scanned pages in page order into the word data.
class Collector {
 public:
  Collector(runctx::RunContext& run, runctx::WordData& data)
      : run_(run),
        data_(data),
        occurrences_(data.occurrence_file),
        page_words_(data.page_word_file) {}

  void AddPage(size_t page, const PageWords& scanned);

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
  std::vector<runctx::PageWord> page_list_;
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

void Collector::AddPage(size_t page, const PageWords& scanned) {
  runctx::PageInfo& info = data_.pages[page];
  info.first_occurrence = data_.occurrence_count;
  info.first_page_word = data_.page_word_count;
  found_.clear();
  for (size_t i = 0; i < scanned.taken.size(); ++i) {
    const uint32_t form = FormOf(scanned.WordAt(i), scanned.taken[i].hash);
    if (form_dropped_[form]) continue;
    found_.push_back({scanned.taken[i].line, scanned.taken[i].column, form,
                      data_.form_word[form], 0});
  }
  if (found_.empty()) return;
  info.group = NextGroup();
  if (data_.group_counts.size() < static_cast<size_t>(info.group)) {
    data_.group_counts.resize(info.group, std::vector<uint32_t>(data_.words.size(), 0));
  }
  for (size_t from = 0; from < found_.size();) {
    size_t to = from + 1;
    while (to < found_.size() && found_[to].line == found_[from].line) ++to;
    NumberLine(from, to);
    from = to;
  }
  page_list_.clear();
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
  info.occurrence_count = static_cast<uint32_t>(found_.size());
  info.page_word_count = static_cast<uint32_t>(page_list_.size());
  data_.occurrence_count += found_.size();
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

void ScanPage(const platform::HostPath& host, PageWords* result) {
  result->taken.clear();
  result->text.clear();
  platform::LineReader in(host, kPageBuffer);
  PageScan state;
  state.Reset();
  std::vector<Word> words;
  uint32_t line_number = 0;
  std::string_view line;
  while (in.Next(&line)) {
    ++line_number;
    if (!ScanLine(line, state, &words)) continue;
    for (const Word& word : words) {
      result->taken.push_back({line_number, static_cast<uint32_t>(word.position),
                               static_cast<uint32_t>(result->text.size()),
                               static_cast<uint32_t>(word.text.size()),
                               common::HashBytes(word.text)});
      result->text += word.text;
    }
  }
}

void ExtractWords(runctx::RunContext& run) {
  runctx::RunCommand(run, runctx::Cmd("dir /b ", runctx::kNumberedPages, " > ", runctx::kDir02));
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
  // Batches of pages are scanned on the other cores while the words of the
  // batch before are taken in; the two sets of buffers take turns and keep
  // their memory from batch to batch.
  const unsigned threads = common::ThreadCount(run.threads);
  const size_t batch = std::max<size_t>(1, threads * kPagesPerThread);
  std::vector<PageWords> scanned[2] = {std::vector<PageWords>(batch),
                                       std::vector<PageWords>(batch)};
  auto scan = [&](size_t first, std::vector<PageWords>& into, unsigned scan_threads) {
    const size_t count = std::min(batch, hosts.size() - first);
    common::ParallelFor(count, scan_threads,
                        [&](size_t i) { ScanPage(hosts[first + i], &into[i]); });
  };
  if (!hosts.empty()) scan(0, scanned[0], threads);
  for (size_t first = 0, turn = 0; first < hosts.size(); first += batch, turn ^= 1) {
    std::future<void> next;
    if (first + batch < hosts.size()) {
      const unsigned scan_threads = threads > 1 ? threads - 1 : 1;
      next = std::async(threads > 1 ? std::launch::async : std::launch::deferred, scan,
                        first + batch, std::ref(scanned[turn ^ 1]), scan_threads);
    }
    const size_t count = std::min(batch, hosts.size() - first);
    for (size_t i = 0; i < count; ++i) collector.AddPage(first + i, scanned[turn][i]);
    if (next.valid()) next.get();
  }
  collector.Finish();
  runctx::Progress(run, 10);
}

}  // namespace scan
