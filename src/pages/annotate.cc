#include "pages/annotate.h"

#include <algorithm>
#include <charconv>
#include <initializer_list>
#include <utility>

#include "common/bytes.h"
#include "pages/blocks.h"
#include "run/word_data.h"

namespace pages {
namespace {

std::string Join(std::initializer_list<std::string_view> pieces) {
  std::string text;
  for (std::string_view piece : pieces) text += piece;
  return text;
}

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

// An occurrence number as the pages mark it, "_" and its digits, in a
// small buffer, so the hot loop does not allocate.
class Mark {
 public:
  explicit Mark(long long value) {
    digits_[0] = '_';
    auto result = std::to_chars(digits_ + 1, digits_ + sizeof digits_, value);
    count_ = static_cast<size_t>(result.ptr - digits_) - 1;
  }
  /// The mark of `value` + 1, this being the mark of `value`: most often
  /// only the last digit changes.
  Mark Next(long long value) const {
    const size_t last = count();
    if (value < 0 || digits_[last] == '9') return Mark(value + 1);
    Mark next = *this;
    ++next.digits_[last];
    return next;
  }
  /// "_" and the digits.
  platform::ShortPiece text() const { return {digits_, count() + 1}; }
  /// The digits alone.
  platform::ShortPiece digits() const { return {digits_ + 1, count()}; }

 private:
  // At most 20 digits: the mask, which changes nothing, shows the compiler
  // so, and a line's copy of the mark then needs no case for long pieces.
  size_t count() const { return count_ & 31; }

  // Room for 20 digits and the "_", and for a copy of 16 bytes of either
  // piece.
  char digits_[24];
  size_t count_ = 0;
};

}  // namespace

PageAnnotator::PageAnnotator(const runctx::Settings& settings, const PagePlace& place,
                             platform::LineReader in, platform::LineWriter out)
    : settings_(settings),
      place_(place),
      in_(std::move(in)),
      out_(std::move(out), PageLayout::kPlain),
      later_index_(Join({"\">&gt;</a>,\r\n<a href=\"i_", place.group, ".htm#"})),
      last_index_(Join({"\"></a>\r\n<a href=\"i_", place.group, ".htm#"})),
      search_(Join({"\">i</a>,\r\n<a href=\"s_", place.group, ".htm#"})),
      open_(Join({"\" type = \"text/javascript\"ondblclick = \"window.open('", place.page, "#"})) {}

void PageAnnotator::Add(const AnnotatedWord& word) {
  if (rest_pending_ && word.line != annotated_line_) WriteRest();
  ReadUpTo(word.line);
  WriteWord(word);
  last_column_ = word.column;
  last_length_ = static_cast<long long>(word.word.size());
  annotated_line_ = word.line;
  rest_pending_ = true;
}

void PageAnnotator::Finish() {
  if (rest_pending_) WriteRest();
  std::string_view line;
  while (in_.Next(&line)) {
    if (common::FindNoCase(line, "</body>") != std::string_view::npos) {
      WriteLinks(place_.last_of_group);
    }
    out_.Line(line);
  }
  in_.Close();
  out_.Close();
}

void PageAnnotator::WriteRest() {
  out_.Line(Piece(text_, last_column_ + last_length_, static_cast<long long>(text_.size())));
  rest_pending_ = false;
}

// Copies the page's lines up to the word's line; the word's own line is
// kept to be cut into pieces. The script and top links go before the body.
void PageAnnotator::ReadUpTo(long long line_number) {
  while (lines_read_ < line_number) {
    std::string_view line;
    if (!in_.Next(&line)) {
      // The page ends before the word's line: nothing is left to copy.
      text_ = {};
      lines_read_ = line_number;
      last_column_ = last_length_ = 0;
      return;
    }
    ++lines_read_;
    if (!script_written_ && IsBodyLine(line)) {
      WriteHighlightScript(out_, settings_);
      WriteLinks(/*blank_after_next=*/true);
      script_written_ = true;
    }
    if (lines_read_ < line_number) {
      out_.Line(line);
    } else {
      text_ = line;
    }
    last_column_ = last_length_ = 0;
  }
}

// Writes the text before the word, the word's span and, when find word is
// on, its navigation span, as one line that holds the line ends within it:
// literals and the text joined per page, then the pieces that change. A
// word id of the usual size is copied as a piece of known size.
void PageAnnotator::WriteWord(const AnnotatedWord& word) {
  const long long from = last_column_ == 0 ? 1 : last_column_ + last_length_;
  const std::string_view before = Piece(text_, from, word.column - 1);
  runctx::WithIdPiece(word.id, [&](auto id) { WriteWordLine(word, before, id); });
}

template <typename Id>
void PageAnnotator::WriteWordLine(const AnnotatedWord& word, std::string_view before, Id id) {
  if (!settings_.find_word || word.word == "Pages_list") {
    out_.LineOf(before, "\r\n<span id=\"", id, open_, id,
                "'); window.event.cancelbubble = true;\">", word.word, "</span>");
    return;
  }
  const Mark occurrence(word.occurrence);
  const Mark target = word.later_on_page ? occurrence.Next(word.occurrence) : occurrence;
  const std::string_view index = word.later_on_page ? later_index_ : last_index_;
  if (word.next_page.empty()) {
    out_.LineOf(before, "\r\n<span id=\"", id, open_, id,
                "'); window.event.cancelbubble = true;\">", word.word,
                "</span>\r\n<span hidden id=\"", id, "\">\r\n(", occurrence.digits(),
                ")(<a href=\"#", id, target.text(), index, id, search_, id, occurrence.text(),
                "\">s</a>,\r\n<a href=\"files_list.htm\">c)</a></span>\r\n<span id=\"", id,
                occurrence.text(), "\"></span>");
  } else {
    out_.LineOf(before, "\r\n<span id=\"", id, open_, id,
                "'); window.event.cancelbubble = true;\">", word.word,
                "</span>\r\n<span hidden id=\"", id, "\">\r\n(", occurrence.digits(),
                ")(<a href=\"#", id, target.text(), index, id, search_, id, occurrence.text(),
                "\">s</a>,\r\n<a href=\"files_list.htm\">c</a>,\r\n<a href=\"", word.next_page, "#",
                id, "\">&gt;&gt;)</a></span>\r\n<span id=\"", id, occurrence.text(), "\"></span>");
  }
}

// The page links block. The Next link keeps a trailing blank in the top
// block and at the bottom of a group's last page only.
void PageAnnotator::WriteLinks(bool blank_after_next) {
  const Neighbours& neighbours = place_.neighbours;
  out_.Line("<br>");
  if (neighbours.has_before) out_.LineOf("<a href=\"", neighbours.before, "\"> Before </a> ");
  if (neighbours.has_next) {
    out_.LineOf("<a href=\"", neighbours.next, "\"> Next </a>",
                std::string_view(blank_after_next ? " " : ""));
  }
  out_.Line("<a href=\"files_list.htm\"> Content </a><br>");
}

std::string AnnotatedCopyName(std::string_view page) {
  std::string name(page);
  size_t at = name.find(".htm");
  if (at == std::string::npos) return name + "_02.htm";
  return name.replace(at, 4, "_02.htm");
}

}  // namespace pages
