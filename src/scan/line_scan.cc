// The word scanner: block, link and marker tests, tag spans, then one pass
// over the line's positions taking a word at each boundary.
#include "scan/line_scan.h"

#include "common/bytes.h"

namespace scan {
namespace {

constexpr size_t kNone = std::string_view::npos;

// A script or style block: opened by the line that passes the opening test,
// closed by the one that passes the closing test; every line from the one
// to the other is skipped. True when this line is skipped.
bool SkipForBlock(bool may_open, std::string_view text, std::string_view open_keyword,
                  std::string_view close_keyword, bool& opened, bool& closed) {
  if (!opened && !closed && may_open && BlockTest(text, open_keyword)) opened = true;
  if (opened && !closed && BlockTest(text, close_keyword)) closed = true;
  if (opened && closed) {
    opened = closed = false;
    return true;
  }
  return opened;
}

// Link and marker lines. `lower` is the line in lower case. A link whose
// number exceeds the link threshold skips the line, and so does a link
// after a "look_at:" marker.
bool SkipForLink(std::string_view lower) {
  // The link number is read from the second byte after the "=" on (past
  // the opening quote and one byte more).
  constexpr size_t kPastEquals = 2;
  constexpr std::string_view kHref = "href=", kSpacedHref = "href =";
  size_t link = lower.find(kHref);
  size_t number_at = link + kHref.size() + kPastEquals;
  if (link == kNone) {
    link = lower.find(kSpacedHref);
    number_at = link + kSpacedHref.size() + kPastEquals;
  }
  if (link == kNone) return false;
  if (ReadLinkNumber(lower, number_at) > kLinkThreshold) return true;
  size_t marker = lower.find("look_at:");
  return marker != kNone && link > marker;
}

// Finds the tag spans of the line into state.spans. False when the line is
// skipped: it lies wholly inside an unfinished tag.
bool FindSpans(std::string_view line, PageScan& state) {
  state.spans.clear();
  const size_t length = line.size();
  size_t from = 0;
  if (state.unfinished_tag) {
    size_t close = line.find('>');
    if (close == kNone) return false;
    state.spans.push_back({1, close + 1});
    state.unfinished_tag = false;
    from = close + 1;
  }
  for (;;) {
    size_t open = line.find('<', from);
    if (open == kNone) break;
    size_t close = line.find('>', open + 1);
    if (close == kNone) {
      state.spans.push_back({open + 1, length});
      state.unfinished_tag = true;
      break;
    }
    state.spans.push_back({open + 1, close + 1});
    from = close + 1;
  }
  return !(state.unfinished_tag && state.spans.size() == 1 && state.spans[0].start == 1 &&
           state.spans[0].end == length);
}

// One pass over the positions of a line with its spans, taking the words.
class WordScan {
 public:
  WordScan(std::string_view line, std::string_view lower, const std::vector<Span>& spans,
           std::vector<Word>* words)
      : line_(line), spans_(spans), words_(words) {
    size_t link = lower.find("href=");
    link_ = link == kNone ? kNone : link + 1;
  }

  void Run();

 private:
  // The boundaries seen so far on the line: S the previous separator, C the
  // current one, A the last tag start, E the last tag end (0 when none).
  void AtSeparator(size_t i);
  bool AtTagStart(size_t i, size_t end_before);
  void AtLineEnd();
  void Take(size_t from, size_t to, size_t i);

  std::string_view line_;
  const std::vector<Span>& spans_;
  std::vector<Word>* words_;
  size_t link_;
  size_t s_ = 0, c_ = 0, a_ = 0, e_ = 0;
};

void WordScan::Run() {
  const size_t length = line_.size();
  size_t next_span = 0;
  for (size_t i = 1; i <= length;) {
    bool start = false, end = false, separator = false;
    size_t next = i + 1;
    if (next_span < spans_.size() && i == spans_[next_span].start) {
      start = true;
      if (spans_[next_span].end == i) {
        end = true;
        ++next_span;
      } else {
        next = spans_[next_span].end;  // the span's inside is passed over
      }
    } else if (next_span < spans_.size() && i == spans_[next_span].end) {
      end = true;
      ++next_span;
    } else {
      separator = line_[i - 1] == ' ';
    }
    const size_t end_before = e_;
    if (start) a_ = i;
    if (end) e_ = i;
    if (separator) c_ = i;
    if (separator) AtSeparator(i);
    if (start && !AtTagStart(i, end_before)) return;
    if (i == length) AtLineEnd();
    if (separator) s_ = i;
    i = next;
  }
}

// A one-byte span (a "<" ending the line, a ">" opening it) has its start
// equal to its end; it is a tag like any other, so the tests allow A = E.
void WordScan::AtSeparator(size_t i) {
  if (a_ == 0 && e_ == 0) {
    Take(s_ + 1, i - 1, i);
  } else if (s_ < a_ && a_ <= e_ && e_ < i) {
    Take(e_ + 1, i - 1, i);
  } else if (a_ <= e_ && e_ < s_) {
    Take(s_ + 1, i - 1, i);
  }
}

// At a tag start the word before it runs from the last boundary before i;
// a one-byte span's own end is not one of them. False when the link rule
// ends the line: a single word between a link's tags.
bool WordScan::AtTagStart(size_t i, size_t end_before) {
  if (c_ < end_before && end_before < i) {
    if (link_ != kNone && link_ < end_before) return false;
    Take(end_before + 1, i - 1, i);
  } else if (end_before < c_ && c_ < i) {
    Take(c_ + 1, i - 1, i);
  } else if (end_before == 0 && c_ == 0) {
    Take(1, i - 1, i);
  }
  return true;
}

void WordScan::AtLineEnd() {
  const size_t length = line_.size();
  if (c_ < a_ && a_ <= e_) {
    Take(e_ + 1, length, length);
  } else if (e_ < c_ && c_ < length) {
    Take(c_ + 1, length, length);
  } else if (a_ == 0 && e_ == 0 && c_ == 0) {
    Take(1, length, length);
  }
}

// The quote treatment: a leading and a trailing double quote are dropped,
// any other becomes an apostrophe; words under 3 bytes are dropped.
void WordScan::Take(size_t from, size_t to, size_t i) {
  if (to < from) return;
  std::string_view text = line_.substr(from - 1, to - from + 1);
  size_t position = from;
  if (!text.empty() && text.front() == '"') {
    text.remove_prefix(1);
    ++position;
  }
  if (!text.empty() && text.back() == '"') text.remove_suffix(1);
  if (text.size() < 3) return;
  Word& word = words_->emplace_back();
  word.position = position;
  word.scan_position = i;
  word.text.assign(text);
  for (char& c : word.text) {
    if (c == '"') c = '\'';
  }
}

}  // namespace

void PageScan::Reset() {
  script_opened = script_closed = false;
  style_opened = style_closed = false;
  unfinished_tag = false;
}

bool BlockTest(std::string_view line, std::string_view keyword) {
  size_t at = line.find(keyword);
  if (at == kNone || at == 0) return false;
  size_t before = line.rfind('<', at - 1);
  if (before == kNone) return false;  // no "<" before the keyword
  size_t forward = line.find('<', at - 1);
  if (forward != kNone) return forward == at - 1;
  for (size_t k = before + 1; k < at; ++k) {
    if (line[k] != ' ') return false;
  }
  return true;
}

long long ReadLinkNumber(std::string_view line, size_t from) {
  if (from >= line.size()) return 0;
  std::string_view rest = line.substr(from);
  size_t digits = rest.find_first_not_of(' ');
  if (digits == kNone) return 0;
  return common::ParseDigits(rest.substr(digits));
}

bool ScanLine(std::string_view line, PageScan& state, std::vector<Word>* words) {
  words->clear();
  if (SkipForBlock(true, line, "script", "/script", state.script_opened, state.script_closed)) {
    return false;
  }
  state.lower.assign(line);
  for (char& c : state.lower) c = common::LowerByte(c);
  std::string_view lower = state.lower;
  // "style=" is looked for as written: an attribute never opens a block.
  bool may_open_style = !common::Contains(line, "style=");
  if (SkipForBlock(may_open_style, lower, "style", "/style", state.style_opened,
                   state.style_closed)) {
    return false;
  }
  if (SkipForLink(lower)) return false;
  if (!FindSpans(line, state)) return false;
  WordScan(line, lower, state.spans, words).Run();
  return true;
}

}  // namespace scan
