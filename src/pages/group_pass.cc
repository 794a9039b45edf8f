// The group pass. Every page, word index page and search page is its own
// file, so they are written side by side on all cores; only the word index
// pages (the promo interval counter) and the search pages (the phrase
// generator) carry a value from one group to the next, so each kind is
// written group after group by one thread.
#include "pages/group_pass.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/parallel.h"
#include "pages/annotate.h"
#include "pages/contents.h"
#include "pages/page_list.h"
#include "pages/search.h"
#include "pages/word_index.h"
#include "platform/binary_file.h"
#include "platform/paths.h"
#include "run/commands.h"
#include "run/work_files.h"

namespace pages {
namespace {

using runctx::WordData;

// Page words sorted in memory at once for a word index page: the fixed
// working buffer (10 MB); a group with more is sorted in several passes.
constexpr size_t kEntryWindow = size_t{1} << 19;
// Records read from a binary word file at once.
constexpr size_t kReadChunk = size_t{1} << 12;
constexpr uint32_t kNoRank = std::numeric_limits<uint32_t>::max();

// Reads records [first, first + count) of a binary word file in order,
// through a buffer of a fixed size.
template <typename Record>
class RecordRange {
 public:
  RecordRange(const platform::HostPath& host, uint64_t first, uint64_t count)
      : reader_(host), next_(first), end_(first + count), buffer_(new char[kReadChunk * kSize]) {}

  bool Next(Record* record) {
    if (at_ == held_) {
      if (next_ == end_) return false;
      held_ = static_cast<size_t>(std::min<uint64_t>(kReadChunk, end_ - next_));
      reader_.ReadBytes(next_ * kSize, buffer_.get(), held_ * kSize);
      next_ += held_;
      at_ = 0;
    }
    std::memcpy(record, buffer_.get() + at_++ * kSize, kSize);
    return true;
  }

 private:
  static constexpr size_t kSize = sizeof(Record);
  platform::BinaryReader reader_;
  uint64_t next_;
  uint64_t end_;
  std::unique_ptr<char[]> buffer_;  // not cleared: it is read into before use
  size_t held_ = 0;
  size_t at_ = 0;
};

// What the tasks of the pass share, set up before they start: the word
// data, the text of every id and group, the words in id order and the
// host path of every file written.
struct Pass {
  Pass(runctx::RunContext& run_in, const WordData& data_in) : run(run_in), data(data_in) {}

  runctx::RunContext& run;
  const WordData& data;
  platform::Stamp now;
  std::vector<std::string> id_text;   // by word
  std::vector<uint32_t> rank;         // by word: its place in the id order
  std::vector<std::string> group_text;  // by group - 1
  std::vector<std::pair<size_t, size_t>> group_pages;  // by group - 1: first, end page
  PageList list;                      // the pages that hold words
  std::vector<size_t> annotated;      // their page indices
  std::vector<std::pair<platform::HostPath, platform::HostPath>> page_hosts;  // page, its annotated copy
  std::vector<platform::HostPath> index_hosts, search_hosts;
  platform::HostPath contents_host;
};

void Prepare(Pass& pass) {
  const WordData& data = pass.data;
  runctx::RunContext& run = pass.run;
  pass.now = platform::Now();
  pass.id_text.resize(data.words.size());
  pass.rank.assign(data.words.size(), kNoRank);
  for (uint32_t at = 0; at < data.by_id.size(); ++at) {
    const uint32_t word = data.by_id[at];
    pass.id_text[word] = data.IdText(word);
    pass.rank[word] = at;
  }
  pass.group_pages.assign(data.group_count, {data.pages.size(), 0});
  std::vector<std::string> names;
  for (size_t page = 0; page < data.pages.size(); ++page) {
    const int group = data.pages[page].group;
    if (group == 0) continue;
    auto& range = pass.group_pages[group - 1];
    range.first = std::min(range.first, page);
    range.second = page + 1;
    names.push_back(data.pages[page].name);
    pass.annotated.push_back(page);
    pass.page_hosts.emplace_back(run.paths.ForRead(data.pages[page].name),
                                 run.paths.ForWrite(AnnotatedCopyName(data.pages[page].name)));
  }
  pass.list = PageList(std::move(names));
  for (int group = 1; group <= data.group_count; ++group) {
    const std::string g = std::to_string(group);
    pass.group_text.push_back(g);
    pass.index_hosts.push_back(run.paths.ForWrite(runctx::WordIndexPage(group)));
    pass.search_hosts.push_back(run.paths.ForWrite(runctx::SearchPage(group)));
  }
  if (data.group_count > 0) pass.contents_host = run.paths.ForWrite(runctx::kContentsPage);
}

// By word: the highest occurrence number on the page being annotated and
// the next page holding the word. One table per thread, sized to the words
// once; only the page's own words are set, and reset after the page.
using WordTable = std::vector<std::pair<uint32_t, uint32_t>>;

void AnnotatePage(const Pass& pass, size_t item, WordTable& table) {
  const WordData& data = pass.data;
  const size_t page = pass.annotated[item];
  const runctx::PageInfo& info = data.pages[page];
  if (table.size() < data.words.size()) table.assign(data.words.size(), {0, 0});
  std::vector<uint32_t> set;
  set.reserve(info.page_word_count);
  RecordRange<runctx::PageWord> page_words(data.page_word_file, info.first_page_word,
                                            info.page_word_count);
  runctx::PageWord entry;
  for (uint64_t at = info.first_page_word; page_words.Next(&entry); ++at) {
    table[entry.word] = {entry.last_number, data.next_page[at]};
    set.push_back(entry.word);
  }
  const auto& range = pass.group_pages[info.group - 1];
  PagePlace place{info.name, pass.group_text[info.group - 1], pass.list.Find(info.name),
                  page + 1 == range.second};
  PageAnnotator annotator(pass.run.settings, place, platform::LineReader(pass.page_hosts[item].first),
                          platform::LineWriter(pass.page_hosts[item].second));
  RecordRange<runctx::Occurrence> occurrences(data.occurrence_file, info.first_occurrence,
                                               info.occurrence_count);
  runctx::Occurrence occurrence;
  while (occurrences.Next(&occurrence)) {
    const uint32_t word = data.form_word[occurrence.form];
    const auto [last, next] = table[word];
    annotator.Add({occurrence.line, occurrence.column, data.Form(occurrence.form),
                   pass.id_text[word], occurrence.number, occurrence.number < last,
                   next == 0 ? std::string_view() : std::string_view(data.pages[next - 1].name)});
  }
  annotator.Finish();
  // The annotated copy takes the page's place.
  platform::ReplaceFile(pass.page_hosts[item].second, pass.page_hosts[item].first);
  for (uint32_t word : set) table[word] = {0, 0};
}

// The page words of one group by word id, then page: counted per word,
// then placed window by window into a buffer of fixed size.
class GroupEntries {
 public:
  GroupEntries(const Pass& pass, int group) : pass_(pass) {
    const auto& range = pass.group_pages[group - 1];
    first_page_ = range.first;
    end_page_ = std::max(range.first, range.second);
    count_.assign(pass.data.words.size(), 0);
    Scan([&](size_t, const runctx::PageWord& entry) { ++count_[entry.word]; });
  }

  bool Next(IndexEntry* out) {
    while (at_ == window_.size()) {
      if (next_rank_ >= pass_.data.by_id.size()) return false;
      FillWindow();
    }
    const Placed& placed = window_[at_++];
    const WordData& data = pass_.data;
    *out = IndexEntry{pass_.id_text[placed.word], data.pages[placed.page].name,
                      data.Form(placed.form), placed.number, placed.count};
    return true;
  }

 private:
  struct Placed {
    uint32_t word, page, count, number, form;
  };

  template <typename Visit>
  void Scan(Visit visit) const {
    if (first_page_ >= end_page_) return;
    const WordData& data = pass_.data;
    const uint64_t first = data.pages[first_page_].first_page_word;
    const runctx::PageInfo& last = data.pages[end_page_ - 1];
    RecordRange<runctx::PageWord> entries(data.page_word_file, first,
                                           last.first_page_word + last.page_word_count - first);
    size_t page = first_page_;
    uint64_t left = data.pages[page].page_word_count;
    runctx::PageWord entry;
    while (entries.Next(&entry)) {
      while (left == 0) left = data.pages[++page].page_word_count;
      --left;
      visit(page, entry);
    }
  }

  // The next words in id order whose page words fit the buffer (at least
  // one word, however many pages hold it).
  void FillWindow() {
    const uint32_t from = next_rank_;
    size_t total = 0;
    const std::vector<uint32_t>& by_id = pass_.data.by_id;
    while (next_rank_ < by_id.size()) {
      const uint32_t count = count_[by_id[next_rank_]];
      if (total > 0 && total + count > kEntryWindow) break;
      total += count;
      ++next_rank_;
    }
    const uint32_t to = next_rank_;
    std::vector<uint32_t>& start = count_;  // each word's count becomes its offset
    size_t offset = 0;
    for (uint32_t rank = from; rank < to; ++rank) {
      const uint32_t word = by_id[rank];
      const uint32_t count = start[word];
      start[word] = static_cast<uint32_t>(offset);
      offset += count;
    }
    window_.resize(total);
    at_ = 0;
    Scan([&](size_t page, const runctx::PageWord& entry) {
      const uint32_t rank = pass_.rank[entry.word];
      if (rank < from || rank >= to) return;
      window_[start[entry.word]++] = {entry.word, static_cast<uint32_t>(page), entry.count,
                                      entry.first_number, entry.first_form};
    });
  }

  const Pass& pass_;
  size_t first_page_ = 0;
  size_t end_page_ = 0;
  std::vector<uint32_t> count_;  // by word: its page words in the group
  uint32_t next_rank_ = 0;
  std::vector<Placed> window_;
  size_t at_ = 0;
};

// The word index pages of every group; the contents page is written during
// the last group's page, as each group pass rewrote it and the last stood.
void WriteIndexPages(const Pass& pass) {
  const runctx::RunContext& run = pass.run;
  long long promo_interval = 0;
  for (int group = 1; group <= pass.data.group_count; ++group) {
    platform::LineWriter out(pass.index_hosts[group - 1]);
    WriteIndexHead(run.settings, pass.now, out);
    if (group == pass.data.group_count) {
      platform::LineWriter contents(pass.contents_host);
      WriteContentsPage(run.settings, pass.now, pass.list, contents);
    }
    GroupEntries entries(pass, group);
    WriteIndexEntries(run.target_site, pass.group_text[group - 1], out,
                      [&](IndexEntry* entry) { return entries.Next(entry); }, promo_interval);
  }
}

// The search pages of every group, their phrases drawn from one generator.
void WriteSearchPages(const Pass& pass) {
  const WordData& data = pass.data;
  SplitMix64 random;
  for (int group = 1; group <= data.group_count; ++group) {
    const SearchPlace place{&pass.run.settings, pass.group_text[group - 1],
                            pass.run.destination_address, pass.run.target_site};
    const auto& range = pass.group_pages[group - 1];
    size_t page = range.first;
    std::unique_ptr<RecordRange<runctx::Occurrence>> occurrences;
    auto next = [&](SearchWord* word) {
      runctx::Occurrence occurrence;
      while (!occurrences || !occurrences->Next(&occurrence)) {
        if (occurrences) ++page;
        if (page >= range.second) return false;
        const runctx::PageInfo& info = data.pages[page];
        occurrences = std::make_unique<RecordRange<runctx::Occurrence>>(
            data.occurrence_file, info.first_occurrence, info.occurrence_count);
      }
      const uint32_t id_word = data.form_word[occurrence.form];
      *word = SearchWord{data.pages[page].name, occurrence.line, data.Form(occurrence.form),
                         pass.id_text[id_word], occurrence.number};
      return true;
    };
    platform::LineWriter out(pass.search_hosts[group - 1]);
    WriteSearchPage(place, out, next, random);
  }
}

// The folder wrd_24 receives a copy of every wrd_24_<g>.txt (emptied first
// when a run left it), and the copies are brought back into the program's
// folder.
void PrepareWordFolder(runctx::RunContext& run) {
  using runctx::Cmd, runctx::kDir01, runctx::kFolderListing, runctx::kGroupWordFiles,
      runctx::kOutNullList, runctx::kWordFolder;
  bool exists = runctx::DetectFolder(run, Cmd("dir /b *.  > ", kDir01), kDir01, kWordFolder);
  if (exists) {
    runctx::RunCommand(run, Cmd("dir > ", kWordFolder, "\\", kFolderListing));
    runctx::RunCommand(run, Cmd("del /q ", kWordFolder, "\\*.txt > ", kOutNullList));
  } else {
    runctx::RunCommand(run, Cmd("md ", kWordFolder, " > ", kOutNullList));
  }
  runctx::RunCommand(run, Cmd("copy ", kGroupWordFiles, " ", kWordFolder, "\\ > ", kOutNullList));
  runctx::RunCommand(run, Cmd("copy ", kWordFolder, "\\*.txt > ", kOutNullList));
}

}  // namespace

void WriteGroupPages(runctx::RunContext& run) {
  PrepareWordFolder(run);
  if (!run.word_data) return;
  const WordData& data = *run.word_data;
  Pass pass(run, data);
  Prepare(pass);
  // The two group-by-group writers first, so the pages fill in around them.
  constexpr size_t kFirstPage = 2;
  std::vector<WordTable> tables(common::ThreadCount(run.threads));
  common::ParallelForWorkers(kFirstPage + pass.annotated.size(), run.threads,
                             [&](size_t item, unsigned worker) {
                               if (item == 0) {
                                 WriteIndexPages(pass);
                               } else if (item == 1) {
                                 WriteSearchPages(pass);
                               } else {
                                 AnnotatePage(pass, item - kFirstPage, tables[worker]);
                               }
                             });
  platform::RemoveFile(data.occurrence_file);
  platform::RemoveFile(data.page_word_file);
}

}  // namespace pages
