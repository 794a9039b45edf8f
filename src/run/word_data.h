// The word data of a run, in compact form: what word extraction finds and
// the word id phase completes, read by the output pages. Distinct words,
// their written forms and the pages are held in memory; the occurrences
// (one per word of a page), the page words (one per word and page, in
// three files: what the word index reads, what the annotated pages read,
// and each one's next page) and the group counts (one per word and group)
// are spilled to binary work files in the folder wrd_24, in document
// order, and read back page by page or group by group. Nothing here grows
// with the number of occurrences, page words or groups. This file is the
// one place that knows the layout of the binary files: their records,
// their writer and their readers.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <shared_mutex>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/interner.h"
#include "platform/binary_file.h"
#include "platform/paths.h"
#include "run/work_files.h"

namespace runctx {

/// The size of a word id below 100,000,000 words ("id" and 8 digits): the
/// pages copy an id of this size as a piece of known size.
inline constexpr size_t kUsualIdSize = 10;

/// Calls `write` with the word id `id`: as a span of kUsualIdSize bytes
/// when it has that size, else as it is.
template <typename Write>
void WithIdPiece(std::string_view id, Write write) {
  if (id.size() == kUsualIdSize) {
    write(std::span<const char, kUsualIdSize>(id.data(), kUsualIdSize));
  } else {
    write(id);
  }
}

/// One word occurrence on a page (binary file, document order per page).
struct Occurrence {
  uint32_t line = 0;    // 1-based line of the page
  uint32_t column = 0;  // 1-based byte position of the word
  uint32_t form = 0;    // the word as written (index into WordData::forms)
  uint32_t number = 0;  // occurrence number among all of its word's
};

/// One word on one page, as the word index needs it (binary file, page by
/// page, in the order of the word's first occurrence on the page).
struct PageWord {
  uint32_t word = 0;          // index into WordData::words
  uint32_t count = 0;         // its occurrences on the page
  uint32_t first_number = 0;  // the occurrence number of its first (line, column)
  uint32_t first_form = 0;    // the form written there
};

/// One word on one page, as the annotated page needs it (a binary file of
/// its own, in the order of the PageWord file, so that each reader reads
/// only what it uses).
struct PageLast {
  uint32_t word = 0;         // index into WordData::words
  uint32_t last_number = 0;  // the highest occurrence number on the page
};

/// The next page holding the word of each PageWord (a binary file of uint32
/// in the order of the PageWord file): a 1-based index into
/// WordData::pages, 0 for none. Written at the end of extraction, going
/// back over the pages, so that memory holds one link a word, not one a
/// page word.
using NextPage = uint32_t;

/// One word of one group (binary file, group by group, each group's words
/// in the order they first occur in it): its occurrences in the group, for
/// the main index, and the pages of the group that hold it, for the word
/// index.
struct GroupCount {
  uint32_t word = 0;   // index into WordData::words
  uint32_t count = 0;  // its occurrences in the group
  uint32_t pages = 0;  // the group's pages holding it
};

/// A group closes once its occurrences pass this many: its word index page
/// then stays near 18 MB and its search page near 13 MB, which a browser
/// opens in seconds (a group of a million occurrences took minutes).
inline constexpr uint64_t kGroupOccurrences = 100000;

/// Divides the pages that hold words into groups, taken in page order.
/// After each page both tests are made: the group's pages against the group
/// size (txt_in's file count) and its occurrences against
/// kGroupOccurrences; either closes the group, and the next starts with
/// neither. A group that closes opens the next one at once, so a last page
/// that closes its group leaves a last, empty group.
class GroupRule {
 public:
  explicit GroupRule(int group_size) : group_size_(group_size) {}
  /// The group of the next page that holds words, which holds
  /// `occurrences` of them.
  int Take(uint64_t occurrences);
  /// G: the number of the last group opened (0 before any page).
  int group_count() const { return group_; }

 private:
  int group_size_;
  int group_ = 0;
  int pages_ = 0;             // of the open group
  uint64_t occurrences_ = 0;  // of the open group
};

/// A numbered page of the page set and where its data lies.
struct PageInfo {
  std::string name;               // page_<n>.htm, lower case
  uint64_t first_occurrence = 0;  // index of its first Occurrence
  uint32_t occurrence_count = 0;  // 0: the page holds no words
  uint64_t first_page_word = 0;   // index of its first PageWord
  uint32_t page_word_count = 0;
  int group = 0;  // 0 for a page without words
};

/// A distinct word: its written forms compared in lower case.
struct WordInfo {
  // The form of its first occurrence in document order; until it occurs,
  // the form that made it (a form of the word all the same).
  uint32_t first_form = 0;
  uint32_t count = 0;  // its occurrences
};

/// True when word `a` sorts before word `b` as fields of a work-file record
/// do: bytes compared unsigned, the closing quote of the shorter field
/// standing for the byte after it (so "abc!" sorts before "abc").
bool FieldLess(std::string_view a, std::string_view b);
/// FieldLess of the lower cases of `a` and `b`, each byte lowered as it is
/// met (words of a long common start tie on their sort keys).
bool LowerFieldLess(std::string_view a, std::string_view b);

struct WordData {
  common::Interner forms;           // the words as written, numbered by form
  std::vector<uint32_t> form_word;  // form -> word
  std::vector<WordInfo> words;
  // By word: the number of its word id, set by the word id phase (not held
  // while extraction grows the words).
  std::vector<uint64_t> ids;
  std::vector<PageInfo> pages;  // in page order
  // By group - 1, then the end: the first GroupCount record of the group.
  std::vector<uint64_t> group_count_start;
  // Set by the word id phase: the words that occur, in word id order (the
  // order of their lower case as record fields sort).
  std::vector<uint32_t> by_id;
  uint64_t occurrence_count = 0;
  uint64_t page_word_count = 0;
  int group_count = 0;  // G

  platform::HostPath occurrence_file;  // host paths of the binary files
  platform::HostPath page_word_file;
  platform::HostPath page_last_file;
  platform::HostPath next_page_file;
  platform::HostPath group_count_file;

  /// "id" and the word's id number, 8 digits at least.
  std::string IdText(uint32_t word) const;
  /// Appends the same text to `out`, with nothing made on the way: the
  /// page writers take the id of every word.
  void AppendIdText(uint32_t word, std::string* out) const;
  /// The text of form `form`.
  std::string_view Form(uint32_t form) const { return forms.text(form); }
};

/// The words of a piece of one page as extraction's scan takes them: whole
/// lines, in document order (the input of WordDataWriter::AddPiece). Forms
/// and words are the page's own, numbered on the page in order of first
/// sight, so that the writer looks each form of a page up once, not at
/// each of its occurrences.
struct PageWords {
  /// The page word of a form that holds "&nbsp;" (any case): dropped.
  static constexpr uint32_t kDropped = UINT32_MAX;
  static constexpr uint32_t kUnknown = UINT32_MAX;

  /// A form first seen on the page in this piece, in order of first sight.
  struct NewForm {
    uint32_t offset = 0;  // of its bytes in `text`
    uint32_t length = 0;
    uint64_t hash = 0;          // common::HashBytes of the form
    uint32_t word = 0;          // the page word of its lower case, or kDropped
    uint32_t known = kUnknown;  // its form, when the writer held it as the piece was scanned
    uint32_t known_word = 0;    // then the word of that form
  };
  /// An occurrence of a word that is kept.
  struct Taken {
    uint32_t line = 0;
    uint32_t column = 0;
    uint32_t form = 0;    // the page form
    uint32_t number = 0;  // among its word's occurrences on the page, from 1
  };
  std::vector<NewForm> forms;
  std::vector<Taken> taken;
  std::string text;

  std::string_view FormText(const NewForm& form) const {
    return std::string_view(text).substr(form.offset, form.length);
  }
  /// The bytes the piece takes.
  size_t Bytes() const {
    return taken.size() * sizeof(Taken) + forms.size() * sizeof(NewForm) + text.size();
  }
  void Clear() {
    forms.clear();
    taken.clear();
    text.clear();
  }
};

/// Takes scanned pages, piece by piece in page order, into the word data:
/// interns each page's forms and words, gives each occurrence its number
/// among all of its word's (the page's numbering after those of the pages
/// before), assigns the groups (GroupRule) and appends the Occurrence,
/// PageWord and PageLast records to the binary files, and each group's
/// GroupCount records once it closes. Makes the folder wrd_24 and the files
/// on construction; a write that fails raises IoError.
class WordDataWriter {
 public:
  /// `group_size` pages that hold words make a group (txt_in's file count).
  WordDataWriter(platform::Paths& paths, WordData& data, int group_size);

  /// Adds a piece of page `page` (0-based index into data.pages): whole
  /// lines, in order; `last` closes the page.
  void AddPiece(size_t page, const PageWords& piece, bool last);

  /// Sets the known form and word of each new form of `piece` that the writer holds
  /// already. Called on the scanning threads while pieces are added, so
  /// that the one thread that adds them looks up only the forms new to it.
  void ResolveForms(PageWords* piece) const;

  /// Closes the binary files, writes the next-page file, sets the group
  /// count and frees what only extraction needs.
  void Finish();

 private:
  // The form of `text` (whose hash is `hash`), interned; its word is
  // interned from its lower case.
  uint32_t FormOf(std::string_view text, uint64_t hash);
  // The word of a new form `text` (whose hash is `hash`): found, or made
  // with `form` as its form.
  uint32_t WordOf(std::string_view text, uint64_t hash, uint32_t form);
  void GrowWords();
  void TakeForm(const PageWords& piece, const PageWords::NewForm& added);
  void EndPage(size_t page);
  // Writes the GroupCount records of the group that just closed.
  void CloseGroup();
  void LinkPages();

  WordData& data_;
  platform::Paths& paths_;
  // Held shared by ResolveForms, alone while forms are interned.
  mutable std::shared_mutex forms_mutex_;
  platform::BinaryWriter occurrences_;
  platform::BinaryWriter page_words_;
  platform::BinaryWriter page_lasts_;
  platform::BinaryWriter group_counts_;
  std::vector<PageLast> lasts_;  // the open page's, written at its end
  GroupRule group_rule_;
  // The open group: by word, its occurrences and pages there; its words in
  // order of first sight.
  std::vector<uint32_t> open_group_count_;
  std::vector<uint32_t> open_group_pages_;
  std::vector<uint32_t> open_group_words_;
  // The open page: by page form, its form and its page word; by page word,
  // its PageWord so far and its word's occurrences before the page; the
  // piece's Occurrence records, written at once.
  std::vector<uint32_t> page_form_;
  std::vector<uint32_t> page_form_word_;
  std::vector<PageWord> page_list_;
  std::vector<uint32_t> page_base_;
  std::vector<Occurrence> piece_records_;
  uint64_t page_occurrences_ = 0;
  bool page_open_ = false;
  // The words by the hash of their lower case: slots of word + 1 (0 is
  // empty) and, by word, the low half of that hash. A word's lower case is
  // compared through a form of it, so no word's text is held twice.
  std::vector<uint32_t> word_slots_;
  std::vector<uint32_t> word_hashes_;
  std::string lower_;  // the lower case of the form being interned
};

/// Records read from a binary word file at once.
inline constexpr size_t kReadChunk = size_t{1} << 12;

/// Reads records [first, first + count) of a binary word file in order,
/// through a buffer of `chunk` records. One reader per thread.
template <typename Record>
class RecordRange {
 public:
  RecordRange(const platform::HostPath& host, uint64_t first, uint64_t count,
              size_t chunk = kReadChunk)
      : reader_(host),
        next_(first),
        end_(first + count),
        chunk_(chunk),
        buffer_(new char[chunk * kSize]) {}

  bool Next(Record* record) {
    if (at_ == held_) {
      if (next_ == end_) return false;
      held_ = static_cast<size_t>(std::min<uint64_t>(chunk_, end_ - next_));
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
  size_t chunk_;
  std::unique_ptr<char[]> buffer_;  // not cleared: it is read into before use
  size_t held_ = 0;
  size_t at_ = 0;
};

/// The occurrences of one page, in document order.
inline RecordRange<Occurrence> OccurrencesOf(const WordData& data, const PageInfo& page) {
  return {data.occurrence_file, page.first_occurrence, page.occurrence_count};
}
/// The last occurrence numbers of the words of one page, in the order of
/// their first occurrence.
inline RecordRange<PageLast> PageLastsOf(const WordData& data, const PageInfo& page) {
  return {data.page_last_file, page.first_page_word, page.page_word_count};
}
/// The next pages of the words of one page, in the same order.
inline RecordRange<NextPage> NextPagesOf(const WordData& data, const PageInfo& page) {
  return {data.next_page_file, page.first_page_word, page.page_word_count};
}

/// The GroupCount records of group `group` (1..G).
inline RecordRange<GroupCount> GroupCountsOf(const WordData& data, int group) {
  const uint64_t first = data.group_count_start[group - 1];
  return {data.group_count_file, first, data.group_count_start[group] - first};
}

/// Every word's occurrences in each group holding it, by word id, then
/// group: the links of the main index. Each group's GroupCount records are
/// first put in id order into the binary file `by_id` (in wrd_24), then the
/// groups are merged, each read through a small buffer: memory holds one
/// group's words while they are sorted, then a buffer per group.
class GroupLinks {
 public:
  struct Link {
    uint32_t word = 0;
    int group = 0;
    uint32_t count = 0;
  };

  GroupLinks(const WordData& data, platform::Paths& paths, const platform::HostPath& by_id);

  /// The next link; false after the last.
  bool Next(Link* link);

 private:
  // A group's records in the file by id, read a buffer at a time.
  struct Cursor {
    uint64_t next = 0;  // the next record to read
    uint64_t end = 0;
    std::vector<GroupCount> held;
    size_t at = 0;
  };
  // Puts the next record of group `index` + 1 into the merge, if any.
  void Advance(uint32_t index);

  std::vector<uint32_t> rank_;   // by word: its place in WordData::by_id
  std::vector<Cursor> cursors_;  // by group - 1
  std::optional<platform::BinaryReader> reader_;
  // The merge: each group's next record as rank << 32 | group - 1, a heap
  // whose least comes first.
  std::vector<uint64_t> heap_;
};

/// The page words of the pages [first_page, end_page) of one group, by word
/// id, then page: placed window by window into a buffer that holds
/// `window` page words (the run's entry window; or one word's, when it has
/// more), each word's place known from the pages of the group holding it
/// (its GroupCount records).
/// The group's page words are read once, whatever the number of windows:
/// the first window's are placed and every other window's spilled to a
/// region of its own in the binary file `spill` (in wrd_24), from which
/// each later window reads only its own. A group with one window writes no
/// spill file.
class GroupPageWords {
 public:
  /// A page word as placed: its word, its page (index into data.pages) and
  /// the fields of its PageWord. Also the record of the spill file.
  struct Placed {
    uint32_t word, page, count, number, form;
  };

  /// `rank` gives each word's place in data.by_id (words that occur).
  GroupPageWords(const WordData& data, platform::Paths& paths, const std::vector<uint32_t>& rank,
                 int group, size_t first_page, size_t end_page, const platform::HostPath& spill,
                 size_t window);

  /// The next page word; false after the last.
  bool Next(Placed* out);

 private:
  template <typename Visit>
  void Scan(Visit visit) const;
  // The last word (exclusive, in id order) of the window starting at `from`.
  uint32_t WindowEnd(uint32_t from, size_t* total) const;
  // Turns the counts of window `k`'s words into their offsets in window_,
  // sized to hold them.
  void OpenWindow(size_t k);
  // Places window 0 and spills the others (one scan of the page words).
  void PlaceFirstAndSpill();
  void FillWindow(size_t k);

  const WordData& data_;
  platform::Paths& paths_;
  const std::vector<uint32_t>& rank_;
  size_t first_page_;
  size_t end_page_;
  size_t window_limit_;
  platform::HostPath spill_;
  std::vector<uint32_t> count_;       // by word: its page words in the group
  std::vector<uint32_t> first_rank_;  // by window: its first word in id order; then the end
  std::vector<uint64_t> region_;      // by window: its first record in the spill file; then the end
  size_t next_window_ = 0;
  std::vector<Placed> window_;
  size_t at_ = 0;
};

}  // namespace runctx
