#include "pages/annotate.h"

#include <algorithm>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/bytes.h"
#include "common/lines.h"
#include "common/record.h"
#include "driver/conventions.h"
#include "pages/blocks.h"

namespace pages {
namespace {

// One record of wrd_24_<g>.txt, as views into the record line.
struct Occurrence {
  std::string_view page, line, column, word, id, occurrence, next_page;
};

// Reads the next record; blank lines are passed over and missing fields
// read as empty.
bool ReadOccurrence(common::LineReader& reader, std::vector<std::string_view>& fields,
                    Occurrence& record) {
  std::string_view line;
  do {
    if (!reader.Next(&line)) return false;
  } while (line.empty());
  common::SplitRecord(line, &fields);
  fields.resize(7);
  record = {fields[0], fields[1], fields[2], fields[3], fields[4], fields[5], fields[6]};
  return true;
}

long long Number(std::string_view field) { return common::ParseDigits(common::Trim(field)); }

// Characters from..to (1-based, inclusive) of `text`, clipped to the text.
std::string_view Piece(std::string_view text, long long from, long long to) {
  from = std::max(from, 1LL);
  to = std::min(to, static_cast<long long>(text.size()));
  if (to < from) return {};
  return text.substr(static_cast<size_t>(from - 1), static_cast<size_t>(to - from + 1));
}

// A line opens the body when "<" stands directly before its first "body".
bool IsBodyLine(std::string_view line) {
  size_t at = common::FindNoCase(line, "body");
  return at != std::string_view::npos && at > 0 && line[at - 1] == '<';
}

// The highest occurrence number of each word id on one page, read ahead of
// the annotation by a second reader over the same group file. A page's
// occurrences of a word carry consecutive numbers, so a later occurrence
// stands on the page exactly when the number is below the highest. Memory
// holds the distinct words of one page.
class LastOnPage {
 public:
  explicit LastOnPage(common::LineReader reader) : reader_(std::move(reader)) {}

  // Takes in the run of records of `page` that starts where the reader
  // stands (the annotation has just reached that run's first record).
  void Load(std::string_view page) {
    last_.clear();
    Occurrence record;
    if (has_pending_) {
      if (pending_page_ != page) return;
      Note(pending_id_, pending_occurrence_);
      has_pending_ = false;
    }
    while (ReadOccurrence(reader_, fields_, record)) {
      if (record.page != page) {
        pending_page_.assign(record.page);
        pending_id_.assign(record.id);
        pending_occurrence_ = Number(record.occurrence);
        has_pending_ = true;
        return;
      }
      Note(record.id, Number(record.occurrence));
    }
  }

  bool LaterOnPage(std::string_view id, long long occurrence) const {
    auto hit = last_.find(std::string(id));
    return hit != last_.end() && occurrence < hit->second;
  }

 private:
  void Note(std::string_view id, long long occurrence) {
    long long& last = last_[std::string(id)];
    last = std::max(last, occurrence);
  }

  common::LineReader reader_;
  std::vector<std::string_view> fields_;
  std::unordered_map<std::string, long long> last_;
  bool has_pending_ = false;  // the first record of the next page, read ahead
  std::string pending_page_;
  std::string pending_id_;
  long long pending_occurrence_ = 0;
};

// Rewrites the pages of one group, record by record, into their annotated
// copies.
class Annotator {
 public:
  Annotator(driver::RunContext& run, const PageList& pages, int group, common::LineReader ahead)
      : run_(run), pages_(pages), group_(std::to_string(group)), last_on_page_(std::move(ahead)) {}

  void Add(const Occurrence& record);
  // After the last record: the open page is the group's last page.
  void Finish() {
    if (has_page_) FinishPage(/*last_of_group=*/true);
  }

 private:
  void OpenPage(std::string_view page);
  void FinishPage(bool last_of_group);
  void WriteRest();
  void ReadUpTo(long long line_number);
  void WriteWord(const Occurrence& record, long long column);
  void WriteNavigation(const Occurrence& record);
  void WriteLinks(bool blank_after_next);

  driver::RunContext& run_;
  const PageList& pages_;
  std::string group_;
  LastOnPage last_on_page_;

  bool has_page_ = false;
  std::string page_;
  std::string copy_name_;
  Neighbours neighbours_;
  common::LineReader in_;
  common::LineWriter out_;
  long long lines_read_ = 0;
  std::string text_;             // the line the words are taken from
  bool rest_pending_ = false;    // that line got words; its rest is not yet written
  long long annotated_line_ = 0;
  long long last_column_ = 0;
  long long last_length_ = 0;
  bool script_written_ = false;
  std::string line_;             // reused output line
};

void Annotator::Add(const Occurrence& record) {
  long long line_number = Number(record.line);
  if (rest_pending_ && (record.page != page_ || line_number != annotated_line_)) WriteRest();
  if (!has_page_ || record.page != page_) {
    if (has_page_) FinishPage(/*last_of_group=*/false);
    OpenPage(record.page);
  }
  ReadUpTo(line_number);
  long long column = Number(record.column);
  WriteWord(record, column);
  if (run_.settings.find_word && record.word != "Pages_list") WriteNavigation(record);
  last_column_ = column;
  last_length_ = static_cast<long long>(record.word.size());
  annotated_line_ = line_number;
  rest_pending_ = true;
}

void Annotator::OpenPage(std::string_view page) {
  page_.assign(page);
  has_page_ = true;
  copy_name_ = AnnotatedCopyName(page_);
  neighbours_ = pages_.Find(page_);
  in_ = driver::OpenListing(run_, page_);
  out_ = driver::CreateFile(run_, copy_name_);
  lines_read_ = 0;
  last_column_ = last_length_ = 0;
  rest_pending_ = false;
  script_written_ = false;
  last_on_page_.Load(page_);
}

void Annotator::FinishPage(bool last_of_group) {
  if (rest_pending_) WriteRest();
  std::string_view line;
  while (in_.Next(&line)) {
    if (common::FindNoCase(line, "</body>") != std::string_view::npos) WriteLinks(last_of_group);
    out_.Line(line);
  }
  in_.Close();
  out_.Close();
  has_page_ = false;
  driver::RunCommand(run_, "copy " + copy_name_ + " " + page_ + " > out_null.list");
}

void Annotator::WriteRest() {
  out_.Line(Piece(text_, last_column_ + last_length_, static_cast<long long>(text_.size())));
  rest_pending_ = false;
}

// Copies the page's lines up to the word's line; the word's own line is
// kept to be cut into pieces. The script and top links go before the body.
void Annotator::ReadUpTo(long long line_number) {
  while (lines_read_ < line_number) {
    std::string_view line;
    if (!in_.Next(&line)) {
      // The page ends before the record's line: nothing is left to copy.
      text_.clear();
      lines_read_ = line_number;
      last_column_ = last_length_ = 0;
      return;
    }
    ++lines_read_;
    if (!script_written_ && IsBodyLine(line)) {
      WriteHighlightScript(out_, run_.settings);
      WriteLinks(/*blank_after_next=*/true);
      script_written_ = true;
    }
    if (lines_read_ < line_number) {
      out_.Line(line);
    } else {
      text_.assign(line);
    }
    last_column_ = last_length_ = 0;
  }
}

void Annotator::WriteWord(const Occurrence& record, long long column) {
  long long from = last_column_ == 0 ? 1 : last_column_ + last_length_;
  out_.Line(Piece(text_, from, column - 1));
  Compose(line_, {"<span id=\"", record.id, "\" type = \"text/javascript\"ondblclick = \"window.open('",
                  record.page, "#", record.id, "'); window.event.cancelbubble = true;\">",
                  record.word, "</span>"});
  out_.Line(line_);
}

void Annotator::WriteNavigation(const Occurrence& record) {
  std::string_view id = record.id;
  std::string_view occurrence = record.occurrence;
  Compose(line_, {"<span hidden id=\"", id, "\">"});
  out_.Line(line_);
  long long number = Number(occurrence);
  if (last_on_page_.LaterOnPage(id, number)) {
    std::string following = std::to_string(number + 1);
    Compose(line_, {"(", occurrence, ")(<a href=\"#", id, "_", following, "\">&gt;</a>,"});
  } else {
    Compose(line_, {"(", occurrence, ")(<a href=\"#", id, "_", occurrence, "\"></a>"});
  }
  out_.Line(line_);
  Compose(line_, {"<a href=\"i_", group_, ".htm#", id, "\">i</a>,"});
  out_.Line(line_);
  Compose(line_, {"<a href=\"s_", group_, ".htm#", id, "_", occurrence, "\">s</a>,"});
  out_.Line(line_);
  if (!record.next_page.empty()) {
    out_.Line("<a href=\"files_list.htm\">c</a>,");
    Compose(line_, {"<a href=\"", record.next_page, "#", id, "\">&gt;&gt;)</a></span>"});
    out_.Line(line_);
  } else {
    out_.Line("<a href=\"files_list.htm\">c)</a></span>");
  }
  Compose(line_, {"<span id=\"", id, "_", occurrence, "\"></span>"});
  out_.Line(line_);
}

// The page links block. The Next link keeps a trailing blank in the top
// block and at the bottom of a group's last page only.
void Annotator::WriteLinks(bool blank_after_next) {
  out_.Line("<br>");
  if (neighbours_.has_before) {
    Compose(line_, {"<a href=\"", neighbours_.before, "\"> Before </a> "});
    out_.Line(line_);
  }
  if (neighbours_.has_next) {
    Compose(line_, {"<a href=\"", neighbours_.next, "\"> Next </a>", blank_after_next ? " " : ""});
    out_.Line(line_);
  }
  out_.Line("<a href=\"files_list.htm\"> Content </a><br>");
}

}  // namespace

std::string AnnotatedCopyName(std::string_view page) {
  std::string name(page);
  size_t at = name.find(".htm");
  if (at == std::string::npos) return name + "_02.htm";
  return name.replace(at, 4, "_02.htm");
}

void AnnotateGroup(driver::RunContext& run, const PageList& pages, int group) {
  std::string name = "wrd_24_" + std::to_string(group) + ".txt";
  Annotator annotator(run, pages, group, driver::OpenListing(run, name));
  common::LineReader reader = driver::OpenListing(run, name);
  std::vector<std::string_view> fields;
  Occurrence record;
  while (ReadOccurrence(reader, fields, record)) annotator.Add(record);
  annotator.Finish();
}

}  // namespace pages
