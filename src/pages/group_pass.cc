// The group pass. Every page, word index page and search page is its own
// file, so they are written side by side on all cores; only the word index
// pages (the promo interval counter) and the search pages (the phrase
// generator) carry a value from one group to the next, so each kind is
// written group after group by one thread.
#include "pages/group_pass.h"

#include <algorithm>
#include <array>
#include <bit>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/compiler.h"
#include "common/parallel.h"
#include "pages/annotate.h"
#include "pages/contents.h"
#include "pages/page_list.h"
#include "pages/search.h"
#include "pages/word_index.h"
#include "platform/paths.h"
#include "run/clean_up.h"
#include "run/commands.h"
#include "run/work_files.h"

namespace pages {
namespace {

using runctx::WordData;

constexpr uint32_t kNoRank = std::numeric_limits<uint32_t>::max();
// A page of fewer bytes is read whole and annotated in its own file; a
// larger one is annotated into a copy that then takes its place. Pages
// are mostly far smaller; a thread holds at most one.
constexpr size_t kPageHeldWhole = size_t{2} << 20;

// What the tasks of the pass share, set up before they start: the word
// data, the text of every id and group, the words in id order and the
// host path of every file written.
struct Pass {
  Pass(runctx::RunContext& run_in, const WordData& data_in) : run(run_in), data(data_in) {}

  runctx::RunContext& run;
  const WordData& data;

  std::string_view Id(uint32_t word) const {
    return std::string_view(id_text).substr(id_start[word], id_start[word + 1] - id_start[word]);
  }
  platform::Stamp now;
  // The text of every word id, one after another (a string each would take
  // 32 bytes a word), and where each word's starts: by word, then the end.
  std::string id_text;
  std::vector<uint32_t> id_start;
  std::vector<uint32_t> rank;                          // by word: its place in the id order
  std::vector<std::string> group_text;                 // by group - 1
  std::vector<std::pair<size_t, size_t>> group_pages;  // by group - 1: first, end page
  PageList list;                                       // the pages that hold words
  std::vector<size_t> annotated;                       // their page indices
  // By annotated page: the page, and its annotated copy.
  std::vector<std::pair<platform::HostPath, platform::HostPath>> page_hosts;
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
  pass.rank.assign(data.words.size(), kNoRank);
  for (uint32_t at = 0; at < data.by_id.size(); ++at) pass.rank[data.by_id[at]] = at;
  pass.id_start.reserve(data.words.size() + 1);
  pass.id_text.reserve(data.by_id.size() * std::string_view("id00000000").size());
  for (uint32_t word = 0; word < data.words.size(); ++word) {
    pass.id_start.push_back(static_cast<uint32_t>(pass.id_text.size()));
    if (pass.rank[word] != kNoRank) data.AppendIdText(word, &pass.id_text);
  }
  pass.id_start.push_back(static_cast<uint32_t>(pass.id_text.size()));
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
    // The page may be written over: its path is checked as a write's is.
    pass.page_hosts.emplace_back(run.paths.ForWrite(data.pages[page].name),
                                 run.paths.ForWrite(AnnotatedCopyName(data.pages[page].name)));
  }
  pass.list = PageList(std::move(names));
  std::vector<uint64_t> group_page_words(data.group_count, 0);
  for (const runctx::PageInfo& info : data.pages) {
    if (info.group != 0) group_page_words[info.group - 1] += info.page_word_count;
  }
  if (std::any_of(group_page_words.begin(), group_page_words.end(),
                  [&](uint64_t count) { return count > run.limits.entry_window; })) {
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

// What a page being annotated needs of each of its words, gathered once
// per page so that an occurrence looks up only its word's place. One per
// thread; its table of places is sized to the page's words, so that it
// follows the largest page the thread annotated, never the run's distinct
// words times the threads.
struct PageWordTable {
  struct Entry {
    uint32_t last_number = 0;  // the highest occurrence number on the page
    uint32_t next_page = 0;    // the next page holding the word, plus one; 0 for none
    uint32_t id_at = 0;        // its word id in `ids`
    uint32_t id_size = 0;
  };

  // Empties the table for a page of `words` words.
  void Reset(size_t words) {
    size_t size = 16;
    while (size < 2 * words) size *= 2;
    slots.assign(size, 0);
    shift = 64 - std::countr_zero(size);
    entries.clear();
    ids.clear();
  }
  // Notes that `word` has the entry last added.
  void Place(uint32_t word) {
    const uint64_t value = uint64_t{word} << 32 | entries.size();
    for (size_t slot = Slot(word);; slot = (slot + 1) & (slots.size() - 1)) {
      if (slots[slot] != 0) continue;
      slots[slot] = value;
      return;
    }
  }
  // The entry of `word` plus one; 0 when it is not on the page.
  uint32_t PlaceOf(uint32_t word) const {
    for (size_t slot = Slot(word);; slot = (slot + 1) & (slots.size() - 1)) {
      const uint64_t value = slots[slot];
      if (value == 0) return 0;
      if (value >> 32 == word) return static_cast<uint32_t>(value);
    }
  }
  size_t Slot(uint32_t word) const { return (word * 0x9E3779B97F4A7C15u) >> shift; }

  std::vector<uint64_t> slots;  // word << 32 | its entry plus one; 0 is empty
  int shift = 60;
  std::vector<Entry> entries;
  std::string ids;  // the word ids of the page's words, one after another
};

// The group pass looks up what it writes of its records a batch at a time,
// each step over the whole batch before the next. A record's word, its word
// id and its written form lie in tables that outgrow the cache, far apart
// and in no useful order: the loads of one step are in flight for the whole
// batch together, and the next step finds them fetched, where record by
// record each load would wait for the one before. Read fills records[0,
// count) and returns count; each step then fills its own array, or hands
// its results to `take`, for those records, in the order below. The count
// goes to each step as a value, so that the compiler keeps it in a
// register: the steps' stores could otherwise alias it.
//
// kLookupBatch records go in a batch, for every writer of the pass. The
// annotated pages had batches of 64 and the word index and search pages
// of 256, with no record of why. Measured on a generated corpus of 400
// files and 5 million words (the samples of the pass's own code under
// perf, runs alternated), sizes from 64 to 512 came out alike for the
// index and search pages, within the runs' spread of about 5%, and the
// annotated pages took about 6% less time at 256 than at 64: one size.
constexpr size_t kLookupBatch = 256;

template <typename Record>
struct LookupBatch {
  /// Reads records from `source` (a RecordRange or GroupPageWords) until
  /// the batch is full or `source` ends; returns how many, 0 at the end.
  template <typename Source>
  size_t Read(Source& source) {
    size_t count = 0;
    while (count < kLookupBatch && source.Next(&records[count])) ++count;
    return count;
  }
  /// words: the word of each occurrence's written form. Both form tables'
  /// entries (its word, where its text starts) are fetched for the whole
  /// batch, then read.
  void LookUpWords(const WordData& data, size_t count) {
    for (size_t i = 0; i < count; ++i) {
      common::Prefetch(&data.form_word[records[i].form]);
      data.forms.PrefetchText(records[i].form);
    }
    for (size_t i = 0; i < count; ++i) words[i] = data.form_word[records[i].form];
  }
  /// forms: the text of each record's written form, fetched ahead for the
  /// writer.
  void LookUpForms(const WordData& data, size_t count) {
    for (size_t i = 0; i < count; ++i) {
      forms[i] = data.Form(records[i].form);
      common::Prefetch(forms[i].data());
    }
  }
  /// Gives take(i, form, id) the texts of each record's written form and
  /// of its word's id, both fetched ahead for the writer. In one loop, so
  /// that where the tables' entries were not fetched before, both of a
  /// record's misses are in flight together.
  template <typename Take>
  void LookUpTexts(const Pass& pass, size_t count, Take take) {
    for (size_t i = 0; i < count; ++i) {
      const std::string_view form = pass.data.Form(records[i].form);
      const std::string_view id = pass.Id(WordOf(i));
      common::Prefetch(form.data());
      common::Prefetch(id.data());
      take(i, form, id);
    }
  }
  // A page word names its word; an occurrence's is looked up by LookUpWords.
  uint32_t WordOf(size_t i) const {
    if constexpr (requires { records[i].word; }) {
      return records[i].word;
    } else {
      return words[i];
    }
  }

  std::array<Record, kLookupBatch> records;
  std::array<uint32_t, kLookupBatch> words;
  std::array<std::string_view, kLookupBatch> forms;
};

// Gathers the words of page `info` into `table` from its PageLast and
// NextPage records, which list the same page words in the same order: each
// word's highest occurrence number on the page, its next page and its id.
void GatherPageWords(const Pass& pass, const runctx::PageInfo& info, PageWordTable& table) {
  table.Reset(info.page_word_count);
  runctx::RecordRange<runctx::PageLast> page_words = runctx::PageLastsOf(pass.data, info);
  runctx::RecordRange<runctx::NextPage> next_pages = runctx::NextPagesOf(pass.data, info);
  runctx::PageLast entry;
  runctx::NextPage next_page = 0;
  while (page_words.Next(&entry) && next_pages.Next(&next_page)) {
    const std::string_view id = pass.Id(entry.word);
    table.entries.push_back({entry.last_number, next_page, static_cast<uint32_t>(table.ids.size()),
                             static_cast<uint32_t>(id.size())});
    table.ids += id;
    table.Place(entry.word);
  }
}

// Gives `annotator` every occurrence of page `info`, in document order,
// with what `table` holds of its word.
void AnnotateWords(const Pass& pass, const runctx::PageInfo& info, const PageWordTable& table,
                   PageAnnotator& annotator) {
  const WordData& data = pass.data;
  runctx::RecordRange<runctx::Occurrence> occurrences = runctx::OccurrencesOf(data, info);
  LookupBatch<runctx::Occurrence> batch;
  uint32_t places[kLookupBatch];
  while (const size_t count = batch.Read(occurrences)) {
    batch.LookUpWords(data, count);
    batch.LookUpForms(data, count);
    for (size_t i = 0; i < count; ++i) places[i] = table.PlaceOf(batch.words[i]);
    for (size_t i = 0; i < count; ++i) {
      const runctx::Occurrence& occurrence = batch.records[i];
      // Every word of the page is among its page words; a word that were
      // not would keep its id and have no later occurrence and no next page.
      const PageWordTable::Entry found =
          places[i] != 0 ? table.entries[places[i] - 1] : PageWordTable::Entry{};
      const std::string_view id =
          places[i] != 0 ? std::string_view(table.ids.data() + found.id_at, found.id_size)
                         : pass.Id(batch.words[i]);
      const std::string_view next_page =
          found.next_page == 0 ? std::string_view()
                               : std::string_view(data.pages[found.next_page - 1].name);
      annotator.Add({occurrence.line, occurrence.column, batch.forms[i], id, occurrence.number,
                     occurrence.number < found.last_number, next_page});
    }
  }
}

void AnnotatePage(const Pass& pass, size_t item, PageWordTable& table) {
  const size_t page = pass.annotated[item];
  const runctx::PageInfo& info = pass.data.pages[page];
  GatherPageWords(pass, info, table);
  const auto& range = pass.group_pages[info.group - 1];
  PagePlace place{info.name, pass.group_text[info.group - 1], pass.list.Find(info.name),
                  page + 1 == range.second};
  platform::Rewrite rewrite = pass.run.paths.OpenRewrite(
      pass.page_hosts[item].first, pass.page_hosts[item].second, kPageHeldWhole);
  const bool in_place = rewrite.in_place;
  PageAnnotator annotator(pass.run.settings, place, std::move(rewrite.in), std::move(rewrite.out));
  AnnotateWords(pass, info, table, annotator);
  annotator.Finish();
  // An annotated copy takes the page's place.
  std::error_code error;
  if (!in_place &&
      !pass.run.paths.Rename(pass.page_hosts[item].second, pass.page_hosts[item].first, error)) {
    throw common::IoError(pass.page_hosts[item].first.string(), error.message());
  }
}

// The index entries of one group, by word id, then page, looked up a batch
// at a time.
class GroupEntries {
 public:
  GroupEntries(const Pass& pass, int group)
      : pass_(pass),
        page_words_(pass.data, pass.run.paths, pass.rank, group, pass.group_pages[group - 1].first,
                    pass.group_pages[group - 1].second, pass.spill_host,
                    pass.run.limits.entry_window) {}

  /// The next entry, valid until the next call; null at the end.
  const IndexEntry* Next() {
    if (at_ == held_ && !Fill()) return nullptr;
    return &found_[at_++];
  }

 private:
  bool Fill() {
    const WordData& data = pass_.data;
    held_ = batch_.Read(page_words_);
    batch_.LookUpTexts(pass_, held_, [&](size_t i, std::string_view form, std::string_view id) {
      const runctx::GroupPageWords::Placed& placed = batch_.records[i];
      found_[i] = IndexEntry{id, data.pages[placed.page].name, form, placed.number, placed.count};
    });
    at_ = 0;
    return held_ > 0;
  }

  const Pass& pass_;
  runctx::GroupPageWords page_words_;
  LookupBatch<runctx::GroupPageWords::Placed> batch_;
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
    PageWriter out(platform::LineWriter(pass.run.paths.Create(pass.index_hosts[group - 1])),
                   PageLayout::kInBlocks);
    WriteIndexHead(run.settings, pass.now, out);
    if (group == pass.data.group_count) {
      PageWriter contents(platform::LineWriter(pass.run.paths.Create(pass.contents_host)),
                          PageLayout::kPlain);
      WriteContentsPage(run.settings, pass.now, pass.list, contents);
    }
    IndexEntryWriter writer(run.target_site, pass.group_text[group - 1], out, promo_interval);
    GroupEntries entries(pass, group);
    while (const IndexEntry* entry = entries.Next()) writer.Add(*entry);
    writer.Finish();
  }
}

// The words of one group's pages in document order, looked up a batch at a
// time; a batch holds the words of one page.
class GroupWords {
 public:
  GroupWords(const Pass& pass, int group)
      : pass_(pass),
        page_(pass.group_pages[group - 1].first),
        end_(pass.group_pages[group - 1].second) {}

  /// The next word, valid until the next call; null at the end.
  const SearchWord* Next() {
    if (at_ == held_ && !Fill()) return nullptr;
    return &found_[at_++];
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
      const size_t count = batch_.Read(*occurrences_);
      batch_.LookUpWords(data, count);
      batch_.LookUpTexts(pass_, count, [&](size_t i, std::string_view form, std::string_view id) {
        const runctx::Occurrence& occurrence = batch_.records[i];
        found_[i] = SearchWord{info.name, occurrence.line, form, id, occurrence.number};
      });
      held_ = count;
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
  LookupBatch<runctx::Occurrence> batch_;
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
    PageWriter out(platform::LineWriter(pass.run.paths.Create(pass.search_hosts[group - 1])),
                   PageLayout::kInBlocks);
    SearchPageWriter writer(place, out, random);
    GroupWords words(pass, group);
    while (const SearchWord* word = words.Next()) writer.Add(*word);
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
  std::vector<PageWordTable> tables(common::ThreadCount(run.threads));
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
  runctx::RemoveReadUpTo(run, runctx::LastReader::kGroupPass);
}

}  // namespace pages
