#include "run/word_data.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <optional>

#include "common/bytes.h"
#include "common/compiler.h"

namespace runctx {
namespace {

// Opens the binary word file `name` for writing, its folder wrd_24 made
// first (a link standing there goes, never followed); sets `host` to its
// path.
platform::OpenedFile NewWordFile(platform::Paths& paths, std::string_view name,
                                 platform::HostPath* host) {
  const platform::HostPath folder = paths.ForWrite(kWordFolder);
  if (paths.IsLink(kWordFolder)) paths.Remove(folder);
  std::error_code error;
  paths.MakeFolder(folder, error);
  if (!platform::IsDirectoryEntry(folder)) {
    throw common::IoError(std::string(kWordFolder), error ? error.message() : "not a folder");
  }
  *host = paths.ForWrite(name);
  return paths.Create(*host);
}

bool SameLower(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t at = 0; at < a.size(); ++at) {
    if (common::LowerByte(a[at]) != common::LowerByte(b[at])) return false;
  }
  return true;
}

// The field order of `a` and `b`, whose bytes as `byte` reads them agree
// as far as the shorter goes: the shorter field's closing quote meets the
// other field's next byte.
template <typename Byte>
bool FieldEndLess(std::string_view a, std::string_view b, Byte byte) {
  if (a.size() == b.size()) return false;
  if (a.size() < b.size()) return '"' < byte(b[a.size()]);
  return byte(a[b.size()]) < '"';
}

}  // namespace

bool FieldLess(std::string_view a, std::string_view b) {
  const int order = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
  if (order != 0) return order < 0;
  return FieldEndLess(a, b, [](char c) { return static_cast<unsigned char>(c); });
}

bool LowerFieldLess(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return static_cast<unsigned char>(common::LowerByte(c)); };
  const size_t shared = std::min(a.size(), b.size());
  for (size_t at = 0; at < shared; ++at) {
    if (lower(a[at]) != lower(b[at])) return lower(a[at]) < lower(b[at]);
  }
  return FieldEndLess(a, b, lower);
}

std::string WordData::IdText(uint32_t word) const {
  std::string text;
  AppendIdText(word, &text);
  return text;
}

void WordData::AppendIdText(uint32_t word, std::string* out) const {
  constexpr size_t kDigits = 8;
  const common::Decimal decimal(static_cast<long long>(ids[word]));
  const common::ShortPiece number = decimal.piece();
  if (number.size > kDigits) {
    out->append("id");
    out->append(number.data, number.size);
    return;
  }
  // "id", zeros and the digits, put together and appended at once.
  char text[2 + kDigits] = {'i', 'd', '0', '0', '0', '0', '0', '0', '0', '0'};
  std::memcpy(text + sizeof text - number.size, number.data, number.size);
  out->append(text, sizeof text);
}

int GroupRule::Take(uint64_t occurrences) {
  if (group_ == 0) group_ = 1;
  const int group = group_;
  occurrences_ += occurrences;
  if (++pages_ == group_size_ || occurrences_ > kGroupOccurrences) {
    pages_ = 0;
    occurrences_ = 0;
    ++group_;
  }
  return group;
}

WordDataWriter::WordDataWriter(platform::Paths& paths, WordData& data, int group_size)
    : data_(data),
      paths_(paths),
      occurrences_(NewWordFile(paths, kOccurrenceFile, &data.occurrence_file)),
      page_words_(NewWordFile(paths, kPageWordFile, &data.page_word_file)),
      page_lasts_(NewWordFile(paths, kPageLastFile, &data.page_last_file)),
      group_counts_(NewWordFile(paths, kGroupCountFile, &data.group_count_file)),
      group_rule_(group_size),
      word_slots_(1024, 0) {
  data.next_page_file = paths.ForWrite(kNextPageFile);
  data.group_count_start.assign(1, 0);
}

void WordDataWriter::ResolveForms(PageWords* piece) const {
  // In runs of forms, so that the writer waiting to intern is not held up
  // for a whole piece.
  constexpr size_t kRun = 256;
  for (size_t from = 0; from < piece->forms.size(); from += kRun) {
    const size_t to = std::min(piece->forms.size(), from + kRun);
    std::shared_lock lock(forms_mutex_);
    for (size_t i = from; i < to; ++i) data_.forms.PrefetchSlot(piece->forms[i].hash);
    for (size_t i = from; i < to; ++i) {
      PageWords::NewForm& added = piece->forms[i];
      const uint32_t form = data_.forms.Find(piece->FormText(added), added.hash);
      if (form == common::Interner::kNotFound) continue;
      added.known = form;
      added.known_word = data_.form_word[form];
    }
  }
}

void WordDataWriter::Finish() {
  occurrences_.Close();
  page_words_.Close();
  page_lasts_.Close();
  data_.group_count = group_rule_.group_count();
  // The last group is still open, and may hold no page.
  if (data_.group_count_start.size() <= static_cast<size_t>(data_.group_count)) CloseGroup();
  group_counts_.Close();
  // What only extraction needs is freed (swapped out: assigning {} would
  // keep the capacity) before the tables kept are trimmed to their size,
  // each trim a copy.
  std::vector<uint32_t>().swap(page_form_);
  std::vector<uint32_t>().swap(page_form_word_);
  std::vector<PageWord>().swap(page_list_);
  std::vector<uint32_t>().swap(page_base_);
  std::vector<Occurrence>().swap(piece_records_);
  std::vector<PageLast>().swap(lasts_);
  std::vector<uint32_t>().swap(open_group_count_);
  std::vector<uint32_t>().swap(open_group_pages_);
  std::vector<uint32_t>().swap(open_group_words_);
  std::vector<uint32_t>().swap(word_slots_);
  std::vector<uint32_t>().swap(word_hashes_);
  std::string().swap(lower_);
  data_.forms.DropLookup();
  LinkPages();
  data_.words.shrink_to_fit();
  data_.form_word.shrink_to_fit();
}

uint32_t WordDataWriter::FormOf(std::string_view text, uint64_t hash) {
  const auto [form, new_form] = data_.forms.Intern(text, hash);
  if (new_form) data_.form_word.push_back(WordOf(text, hash, form));
  return form;
}

uint32_t WordDataWriter::WordOf(std::string_view text, uint64_t hash, uint32_t form) {
  // A form in lower case lends its hash to its word.
  bool changed;
  const std::string_view lower = common::LowerOf(text, &lower_, &changed);
  const auto low = static_cast<uint32_t>(changed ? common::HashBytes(lower) : hash);
  const size_t mask = word_slots_.size() - 1;
  for (size_t slot = low & mask;; slot = (slot + 1) & mask) {
    const uint32_t held = word_slots_[slot];
    if (held == 0) {
      const auto word = static_cast<uint32_t>(data_.words.size());
      word_slots_[slot] = word + 1;
      word_hashes_.push_back(low);
      data_.words.push_back({form, 0});
      if (word_hashes_.size() * 2 > word_slots_.size()) GrowWords();
      return word;
    }
    if (word_hashes_[held - 1] == low &&
        SameLower(data_.Form(data_.words[held - 1].first_form), text)) {
      return held - 1;
    }
  }
}

void WordDataWriter::GrowWords() {
  word_slots_.assign(word_slots_.size() * 2, 0);
  const size_t mask = word_slots_.size() - 1;
  for (uint32_t word = 0; word < word_hashes_.size(); ++word) {
    size_t slot = word_hashes_[word] & mask;
    while (word_slots_[slot] != 0) slot = (slot + 1) & mask;
    word_slots_[slot] = word + 1;
  }
}

// A page form is looked up once on the page; the first form of a page word
// is the form of its first occurrence there.
void WordDataWriter::TakeForm(const PageWords& piece, const PageWords::NewForm& added) {
  const bool known = added.known != PageWords::kUnknown;
  const uint32_t form = known ? added.known : FormOf(piece.FormText(added), added.hash);
  page_form_.push_back(form);
  page_form_word_.push_back(added.word);
  if (added.word == PageWords::kDropped || added.word < page_list_.size()) return;
  const uint32_t word = known ? added.known_word : data_.form_word[form];
  page_list_.push_back({word, 0, 0, form});
  page_base_.push_back(data_.words[word].count);
}

void WordDataWriter::AddPiece(size_t page, const PageWords& piece, bool last) {
  PageInfo& info = data_.pages[page];
  if (!page_open_) {
    page_open_ = true;
    info.first_occurrence = data_.occurrence_count;
    info.first_page_word = data_.page_word_count;
    page_form_.clear();
    page_form_word_.clear();
    page_list_.clear();
    page_base_.clear();
    page_occurrences_ = 0;
  }
  // The scanning threads' lookups are held off from the first form the
  // writer must intern itself to the end of the piece's forms. The word
  // counts of known forms, and the slots where unknown ones are looked up,
  // are fetched a few forms ahead: they lie spread over tables that
  // outgrow the cache.
  {
    constexpr size_t kAhead = 8;
    std::unique_lock lock(forms_mutex_, std::defer_lock);
    const std::vector<PageWords::NewForm>& forms = piece.forms;
    for (size_t i = 0; i < forms.size(); ++i) {
      if (i + kAhead < forms.size()) {
        const PageWords::NewForm& ahead = forms[i + kAhead];
        if (ahead.known != PageWords::kUnknown) {
          common::Prefetch(&data_.words.data()[ahead.known_word]);
        } else {
          data_.forms.PrefetchSlot(ahead.hash);
        }
      }
      if (forms[i].known == PageWords::kUnknown && !lock.owns_lock()) lock.lock();
      TakeForm(piece, forms[i]);
    }
  }
  piece_records_.clear();
  for (const PageWords::Taken& taken : piece.taken) {
    const uint32_t slot = page_form_word_[taken.form];
    PageWord& entry = page_list_[slot];
    const uint32_t number = page_base_[slot] + taken.number;
    if (entry.count++ == 0) entry.first_number = number;
    piece_records_.push_back({taken.line, taken.column, page_form_[taken.form], number});
  }
  occurrences_.Write(piece_records_.data(), piece_records_.size() * sizeof(Occurrence));
  page_occurrences_ += piece.taken.size();
  if (last) EndPage(page);
}

// Each word of the page, with its highest number there and the next page
// that holds it.
void WordDataWriter::EndPage(size_t page) {
  page_open_ = false;
  if (page_occurrences_ == 0) return;
  PageInfo& info = data_.pages[page];
  open_group_count_.resize(data_.words.size(), 0);
  open_group_pages_.resize(data_.words.size(), 0);
  lasts_.resize(page_list_.size());
  for (size_t slot = 0; slot < page_list_.size(); ++slot) {
    PageWord& entry = page_list_[slot];
    lasts_[slot] = {entry.word, page_base_[slot] + entry.count};
    if (open_group_pages_[entry.word]++ == 0) open_group_words_.push_back(entry.word);
    open_group_count_[entry.word] += entry.count;
    WordInfo& word = data_.words[entry.word];
    if (word.count == 0) word.first_form = entry.first_form;
    word.count += entry.count;
    ++data_.page_word_count;
  }
  page_words_.Write(page_list_.data(), page_list_.size() * sizeof(PageWord));
  page_lasts_.Write(lasts_.data(), lasts_.size() * sizeof(PageLast));
  info.occurrence_count = static_cast<uint32_t>(page_occurrences_);
  info.page_word_count = static_cast<uint32_t>(page_list_.size());
  data_.occurrence_count += page_occurrences_;
  info.group = group_rule_.Take(page_occurrences_);
  if (group_rule_.group_count() != info.group) CloseGroup();
}

void WordDataWriter::CloseGroup() {
  for (uint32_t word : open_group_words_) {
    group_counts_.Put(GroupCount{word, open_group_count_[word], open_group_pages_[word]});
    open_group_count_[word] = 0;
    open_group_pages_[word] = 0;
  }
  data_.group_count_start.push_back(group_counts_.size() / sizeof(GroupCount));
  open_group_words_.clear();
}

// Going back over the pages, each word's next page is the last page seen
// holding it. A page's words are distinct, so its links are written a chunk
// at a time, each at its place.
void WordDataWriter::LinkPages() {
  std::vector<NextPage> next(data_.words.size(), 0);
  std::vector<NextPage> links(kReadChunk);
  platform::BlockWriter out(paths_.Create(data_.next_page_file));
  for (size_t page = data_.pages.size(); page-- > 0;) {
    const PageInfo& info = data_.pages[page];
    RecordRange<PageLast> lasts(data_.page_last_file, info.first_page_word, info.page_word_count);
    uint64_t at = info.first_page_word;
    PageLast last;
    for (bool more = true; more;) {
      size_t held = 0;
      while (held < kReadChunk && (more = lasts.Next(&last))) {
        links[held++] = next[last.word];
        next[last.word] = static_cast<NextPage>(page + 1);
      }
      out.WriteAt(at * sizeof(NextPage), links.data(), held * sizeof(NextPage));
      at += held;
    }
  }
  out.Close();
}

GroupLinks::GroupLinks(const WordData& data, platform::Paths& paths,
                       const platform::HostPath& by_id)
    : rank_(data.words.size(), 0) {
  for (uint32_t at = 0; at < data.by_id.size(); ++at) rank_[data.by_id[at]] = at;
  const auto groups = static_cast<uint32_t>(std::max<size_t>(data.group_count_start.size(), 1) - 1);
  if (groups == 0) return;
  {
    platform::BinaryWriter out(paths.Create(by_id));
    std::vector<GroupCount> words;
    for (uint32_t index = 0; index < groups; ++index) {
      RecordRange<GroupCount> group = GroupCountsOf(data, static_cast<int>(index + 1));
      words.clear();
      for (GroupCount word; group.Next(&word);) words.push_back(word);
      std::sort(words.begin(), words.end(), [&](const GroupCount& a, const GroupCount& b) {
        return rank_[a.word] < rank_[b.word];
      });
      out.Write(words.data(), words.size() * sizeof(GroupCount));
    }
    out.Close();
  }
  reader_.emplace(by_id);
  // A group's buffer: small, as there is one per group.
  constexpr size_t kHeld = 256;
  cursors_.resize(groups);
  for (uint32_t index = 0; index < groups; ++index) {
    Cursor& cursor = cursors_[index];
    cursor.next = data.group_count_start[index];
    cursor.end = data.group_count_start[index + 1];
    cursor.held.reserve(static_cast<size_t>(std::min<uint64_t>(kHeld, cursor.end - cursor.next)));
    Advance(index);
  }
}

void GroupLinks::Advance(uint32_t index) {
  Cursor& cursor = cursors_[index];
  if (cursor.at == cursor.held.size()) {
    if (cursor.next == cursor.end) return;
    cursor.held.resize(
        static_cast<size_t>(std::min<uint64_t>(cursor.held.capacity(), cursor.end - cursor.next)));
    reader_->ReadBytes(cursor.next * sizeof(GroupCount), cursor.held.data(),
                       cursor.held.size() * sizeof(GroupCount));
    cursor.next += cursor.held.size();
    cursor.at = 0;
  }
  const uint64_t rank = rank_[cursor.held[cursor.at].word];
  heap_.push_back(rank << 32 | index);
  std::push_heap(heap_.begin(), heap_.end(), std::greater<>());
}

bool GroupLinks::Next(Link* link) {
  if (heap_.empty()) return false;
  std::pop_heap(heap_.begin(), heap_.end(), std::greater<>());
  const auto index = static_cast<uint32_t>(heap_.back() & 0xFFFFFFFF);
  heap_.pop_back();
  Cursor& cursor = cursors_[index];
  const GroupCount& word = cursor.held[cursor.at++];
  *link = {word.word, static_cast<int>(index + 1), word.count};
  Advance(index);
  return true;
}

GroupPageWords::GroupPageWords(const WordData& data, platform::Paths& paths,
                               const std::vector<uint32_t>& rank, int group, size_t first_page,
                               size_t end_page, const platform::HostPath& spill, size_t window)
    : data_(data),
      paths_(paths),
      rank_(rank),
      first_page_(first_page),
      end_page_(std::max(first_page, end_page)),
      window_limit_(window),
      spill_(spill) {
  // Each word's page words in the group: the pages of the group holding it.
  count_.assign(data.words.size(), 0);
  if (first_page_ < end_page_) {
    RecordRange<GroupCount> words = GroupCountsOf(data, group);
    for (GroupCount word; words.Next(&word);) count_[word.word] = word.pages;
  }
  // The windows and their regions in the spill file (window 0 has none).
  // The buffer is sized once, to the largest window: refilled in place, it
  // never grows.
  size_t largest = 0;
  region_.push_back(0);
  for (uint32_t from = 0; from < data.by_id.size();) {
    size_t total = 0;
    first_rank_.push_back(from);
    from = WindowEnd(from, &total);
    largest = std::max(largest, total);
    region_.push_back(region_.back() + (first_rank_.size() == 1 ? 0 : total));
  }
  first_rank_.push_back(static_cast<uint32_t>(data.by_id.size()));
  window_.reserve(largest);
  if (first_rank_.size() > 1) PlaceFirstAndSpill();
}

bool GroupPageWords::Next(Placed* out) {
  while (at_ == window_.size()) {
    if (next_window_ + 1 >= first_rank_.size()) return false;
    FillWindow(next_window_);
  }
  *out = window_[at_++];
  return true;
}

template <typename Visit>
void GroupPageWords::Scan(Visit visit) const {
  if (first_page_ >= end_page_) return;
  const uint64_t first = data_.pages[first_page_].first_page_word;
  const PageInfo& last = data_.pages[end_page_ - 1];
  RecordRange<PageWord> entries(data_.page_word_file, first,
                                last.first_page_word + last.page_word_count - first);
  size_t page = first_page_;
  uint64_t left = data_.pages[page].page_word_count;
  PageWord entry;
  while (entries.Next(&entry)) {
    while (left == 0) left = data_.pages[++page].page_word_count;
    --left;
    visit(page, entry);
  }
}

// A window holds the next words in id order whose page words fit the
// buffer, and at least one word, however many pages hold it.
uint32_t GroupPageWords::WindowEnd(uint32_t from, size_t* total) const {
  const std::vector<uint32_t>& by_id = data_.by_id;
  uint32_t to = from;
  for (; to < by_id.size(); ++to) {
    const uint32_t count = count_[by_id[to]];
    if (*total > 0 && *total + count > window_limit_) break;
    *total += count;
  }
  return to;
}

void GroupPageWords::OpenWindow(size_t k) {
  std::vector<uint32_t>& start = count_;  // each word's count becomes its offset
  size_t offset = 0;
  for (uint32_t rank = first_rank_[k]; rank < first_rank_[k + 1]; ++rank) {
    const uint32_t word = data_.by_id[rank];
    const uint32_t count = start[word];
    start[word] = static_cast<uint32_t>(offset);
    offset += count;
  }
  window_.resize(offset);
  at_ = 0;
  next_window_ = k + 1;
}

// The spilled page words are gathered per window in blocks, each written to
// the next place of its window's region when full: the regions keep the
// page order of the scan.
void GroupPageWords::PlaceFirstAndSpill() {
  OpenWindow(0);
  std::vector<uint32_t>& start = count_;
  const size_t spilled = first_rank_.size() - 2;    // a group of one window spills nothing
  constexpr size_t kSpillBuffer = size_t{1} << 15;  // page words gathered at once (640 KB)
  constexpr size_t kLeastBlock = 256;
  const size_t share = std::max(kLeastBlock, kSpillBuffer / std::max<size_t>(1, spilled));
  const size_t block = std::max<size_t>(1, std::min(share, window_.capacity()));
  std::vector<Placed> blocks(block * spilled);
  std::vector<size_t> held(spilled, 0);
  std::vector<uint64_t> written(region_.begin() + 1, region_.end() - 1);
  std::optional<platform::BlockWriter> out;
  if (spilled > 0) out.emplace(paths_.Create(spill_));
  auto flush = [&](size_t k) {
    out->WriteAt(written[k] * sizeof(Placed), &blocks[k * block], held[k] * sizeof(Placed));
    written[k] += held[k];
    held[k] = 0;
  };
  const uint32_t second = first_rank_[1];
  Scan([&](size_t page, const PageWord& entry) {
    const Placed placed{entry.word, static_cast<uint32_t>(page), entry.count, entry.first_number,
                        entry.first_form};
    const uint32_t rank = rank_[entry.word];
    if (rank < second) {
      window_[start[entry.word]++] = placed;
      return;
    }
    // Spilled window k + 1 holds the ranks before the start of window k + 2.
    const auto after = std::upper_bound(first_rank_.begin() + 2, first_rank_.end(), rank);
    const size_t k = static_cast<size_t>(after - (first_rank_.begin() + 2));
    blocks[k * block + held[k]++] = placed;
    if (held[k] == block) flush(k);
  });
  for (size_t k = 0; k < spilled; ++k) flush(k);
  if (out) out->Close();
}

void GroupPageWords::FillWindow(size_t k) {
  OpenWindow(k);
  std::vector<uint32_t>& start = count_;
  RecordRange<Placed> entries(spill_, region_[k], region_[k + 1] - region_[k]);
  Placed placed;
  while (entries.Next(&placed)) window_[start[placed.word]++] = placed;
}

}  // namespace runctx
