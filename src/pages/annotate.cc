#include "pages/annotate.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "common/bytes.h"
#include "pages/blocks.h"

namespace pages {
namespace {

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

// A number's decimal text in a small buffer, so the hot loop does not
// allocate.
class Decimal {
 public:
  explicit Decimal(long long value) {
    auto result = std::to_chars(digits_, digits_ + sizeof digits_, value);
    size_ = static_cast<size_t>(result.ptr - digits_);
  }
  std::string_view text() const { return {digits_, size_}; }

 private:
  char digits_[24];
  size_t size_ = 0;
};

}  // namespace

PageAnnotator::PageAnnotator(const runctx::Settings& settings, const PagePlace& place,
                             platform::LineReader in, platform::LineWriter out)
    : settings_(settings), place_(place), in_(std::move(in)), out_(std::move(out), PageLayout::kPlain) {}

void PageAnnotator::Add(const AnnotatedWord& word) {
  if (rest_pending_ && word.line != annotated_line_) WriteRest();
  ReadUpTo(word.line);
  WriteWord(word);
  if (settings_.find_word && word.word != "Pages_list") WriteNavigation(word);
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
      text_.clear();
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
      text_.assign(line);
    }
    last_column_ = last_length_ = 0;
  }
}

void PageAnnotator::WriteWord(const AnnotatedWord& word) {
  long long from = last_column_ == 0 ? 1 : last_column_ + last_length_;
  out_.Line(Piece(text_, from, word.column - 1));
  out_.LineOf({"<span id=\"", word.id, "\" type = \"text/javascript\"ondblclick = \"window.open('",
               place_.page, "#", word.id, "'); window.event.cancelbubble = true;\">", word.word,
               "</span>"});
}

void PageAnnotator::WriteNavigation(const AnnotatedWord& word) {
  const std::string_view id = word.id;
  const Decimal occurrence(word.occurrence);
  const std::string_view group = place_.group;
  out_.LineOf({"<span hidden id=\"", id, "\">"});
  if (word.later_on_page) {
    const Decimal following(word.occurrence + 1);
    out_.LineOf({"(", occurrence.text(), ")(<a href=\"#", id, "_", following.text(),
                 "\">&gt;</a>,"});
  } else {
    out_.LineOf({"(", occurrence.text(), ")(<a href=\"#", id, "_", occurrence.text(), "\"></a>"});
  }
  out_.LineOf({"<a href=\"i_", group, ".htm#", id, "\">i</a>,"});
  out_.LineOf({"<a href=\"s_", group, ".htm#", id, "_", occurrence.text(), "\">s</a>,"});
  if (!word.next_page.empty()) {
    out_.Line("<a href=\"files_list.htm\">c</a>,");
    out_.LineOf({"<a href=\"", word.next_page, "#", id, "\">&gt;&gt;)</a></span>"});
  } else {
    out_.Line("<a href=\"files_list.htm\">c)</a></span>");
  }
  out_.LineOf({"<span id=\"", id, "_", occurrence.text(), "\"></span>"});
}

// The page links block. The Next link keeps a trailing blank in the top
// block and at the bottom of a group's last page only.
void PageAnnotator::WriteLinks(bool blank_after_next) {
  const Neighbours& neighbours = place_.neighbours;
  out_.Line("<br>");
  if (neighbours.has_before) out_.LineOf({"<a href=\"", neighbours.before, "\"> Before </a> "});
  if (neighbours.has_next) {
    out_.LineOf({"<a href=\"", neighbours.next, "\"> Next </a>", blank_after_next ? " " : ""});
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
