// The group pass. Every page, word index page and search page is its own
// file, so they are written side by side on all cores; only the word index
// pages (the promo interval counter) and the search pages (the phrase
// generator) carry a value from one group to the next, so each kind is
// written group after group by one thread.
#include "pages/group_pass.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/parallel.h"
#include "pages/annotate.h"
#include "pages/contents.h"
#include "pages/page_list.h"
#include "pages/search.h"
#include "pages/word_index.h"
#include "platform/paths.h"
#include "run/commands.h"
#include "run/work_files.h"

namespace pages {
namespace {

using runctx::WordData;

constexpr uint32_t kNoRank = std::numeric_limits<uint32_t>::max();
// Records whose words are looked up together.
constexpr size_t kLookupBatch = 256;

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
  // The spill file of the word index's page words, set when a group has
  // more than one window of them (else empty).
  platform::HostPath spill_host;
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
  std::vector<uint64_t> group_page_words(data.group_count, 0);
  for (const runctx::PageInfo& info : data.pages) {
    if (info.group != 0) group_page_words[info.group - 1] += info.page_word_count;
  }
  if (std::any_of(group_page_words.begin(), group_page_words.end(),
                  [&](uint64_t count) { return count > run.entry_window; })) {
    pass.spill_host = run.paths.ForWrite(runctx::kPageWordSpillFile);
  }
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
  runctx::RecordRange<runctx::PageWord> page_words = runctx::PageWordsOf(data, info);
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
  runctx::RecordRange<runctx::Occurrence> occurrences = runctx::OccurrencesOf(data, info);
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
  pass.run.paths.ReplaceFile(pass.page_hosts[item].second, pass.page_hosts[item].first);
  for (uint32_t word : set) table[word] = {0, 0};
}

// The index entries of one group, by word id, then page, their texts
// looked up a batch at a time so that the lookups overlap.
class GroupEntries {
 public:
  GroupEntries(const Pass& pass, int group)
      : pass_(pass),
        page_words_(pass.data, pass.rank, pass.group_pages[group - 1].first,
                    pass.group_pages[group - 1].second, pass.spill_host, pass.run.entry_window) {}

  bool Next(IndexEntry* out) {
    if (at_ == held_ && !Fill()) return false;
    *out = found_[at_++];
    return true;
  }

 private:
  bool Fill() {
    for (held_ = 0; held_ < kLookupBatch && page_words_.Next(&placed_[held_]);) ++held_;
    const WordData& data = pass_.data;
    for (size_t i = 0; i < held_; ++i) {
      const runctx::GroupPageWords::Placed& placed = placed_[i];
      found_[i] = IndexEntry{pass_.id_text[placed.word], data.pages[placed.page].name,
                             data.Form(placed.form), placed.number, placed.count};
    }
    at_ = 0;
    return held_ > 0;
  }

  const Pass& pass_;
  runctx::GroupPageWords page_words_;
  std::array<runctx::GroupPageWords::Placed, kLookupBatch> placed_;
  std::array<IndexEntry, kLookupBatch> found_;
  size_t held_ = 0;
  size_t at_ = 0;
};

// The word index pages of every group; the contents page is written during
// the last group's page, as each group pass rewrote it and the last stood.
void WriteIndexPages(const Pass& pass) {
  const runctx::RunContext& run = pass.run;
  long long promo_interval = 0;
  for (int group = 1; group <= pass.data.group_count; ++group) {
    PageWriter out(platform::LineWriter(pass.index_hosts[group - 1]), PageLayout::kInBlocks);
    WriteIndexHead(run.settings, pass.now, out);
    if (group == pass.data.group_count) {
      PageWriter contents(platform::LineWriter(pass.contents_host), PageLayout::kPlain);
      WriteContentsPage(run.settings, pass.now, pass.list, contents);
    }
    IndexEntryWriter writer(run.target_site, pass.group_text[group - 1], out, promo_interval);
    GroupEntries entries(pass, group);
    IndexEntry entry;
    while (entries.Next(&entry)) writer.Add(entry);
    writer.Finish();
  }
}

// The words of one group's pages in document order, their texts looked up
// a batch at a time, each step over the whole batch, so that the lookups
// far apart in memory overlap.
class GroupWords {
 public:
  GroupWords(const Pass& pass, int group)
      : pass_(pass), page_(pass.group_pages[group - 1].first), end_(pass.group_pages[group - 1].second) {}

  bool Next(SearchWord* out) {
    if (at_ == held_ && !Fill()) return false;
    *out = found_[at_++];
    return true;
  }

 private:
  bool Fill() {
    const WordData& data = pass_.data;
    for (held_ = 0; held_ == 0 && page_ < end_; ++page_) {
      const runctx::PageInfo& info = data.pages[page_];
      if (info.occurrence_count == 0) continue;
      if (!occurrences_) {
        occurrences_.emplace(data.occurrence_file, info.first_occurrence, info.occurrence_count);
      }
      while (held_ < kLookupBatch && occurrences_->Next(&batch_[held_])) ++held_;
      for (size_t i = 0; i < held_; ++i) words_[i] = data.form_word[batch_[i].form];
      for (size_t i = 0; i < held_; ++i) {
        found_[i] = SearchWord{info.name, batch_[i].line, data.Form(batch_[i].form),
                               pass_.id_text[words_[i]], batch_[i].number};
      }
      if (held_ == kLookupBatch) break;  // the page goes on in the next batch
      occurrences_.reset();
    }
    at_ = 0;
    return held_ > 0;
  }

  const Pass& pass_;
  size_t page_;
  size_t end_;
  std::optional<runctx::RecordRange<runctx::Occurrence>> occurrences_;  // of page_
  std::array<runctx::Occurrence, kLookupBatch> batch_;
  std::array<uint32_t, kLookupBatch> words_;
  std::array<SearchWord, kLookupBatch> found_;
  size_t held_ = 0;
  size_t at_ = 0;
};

// The search pages of every group, their phrases drawn from one generator.
void WriteSearchPages(const Pass& pass) {
  SplitMix64 random;
  for (int group = 1; group <= pass.data.group_count; ++group) {
    const SearchPlace place{&pass.run.settings, pass.group_text[group - 1],
                            pass.run.destination_address, pass.run.target_site};
    PageWriter out(platform::LineWriter(pass.search_hosts[group - 1]), PageLayout::kInBlocks);
    SearchPageWriter writer(place, out, random);
    GroupWords words(pass, group);
    SearchWord word;
    while (words.Next(&word)) writer.Add(word);
    writer.Finish();
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
  run.paths.RemoveFile(data.occurrence_file);
  run.paths.RemoveFile(data.page_word_file);
  if (!pass.spill_host.empty()) run.paths.RemoveFile(pass.spill_host);
}

}  // namespace pages
