// The word scanner: block, link and marker tests, tag spans, then one pass
// over the line's positions taking a word at each boundary.
#include "scan/line_scan.h"

#include <algorithm>

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

// Link and marker lines. `lower` is the line in lower case and `link` the
// place of its first "href=". A link whose number exceeds the link
// threshold skips the line, and so does a link after a "look_at:" marker.
bool SkipForLink(std::string_view lower, size_t link) {
  // The link number is read from the second byte after the "=" on (past
  // the opening quote and one byte more).
  constexpr size_t kPastEquals = 2;
  constexpr std::string_view kHref = "href=", kSpacedHref = "href =";
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

// True when `keyword` follows a "<" of `line` with only spaces between:
// a block test can pass only then. A line has few "<" but may have many
// bytes that start a keyword, so these are looked for first.
bool FollowsTagStart(std::string_view line, std::string_view keyword) {
  for (size_t open = line.find('<'); open != kNone; open = line.find('<', open + 1)) {
    size_t at = open + 1;
    while (at < line.size() && line[at] == ' ') ++at;
    if (line.substr(at).starts_with(keyword)) return true;
  }
  return false;
}

// One pass over the positions of a line with its spans, taking the words.
// `link` is the 0-based place of the line's first "href=", or kNone. A word
// with a quote inside gets its changed text in `quoted`, which has room
// for the whole line.
class WordScan {
 public:
  WordScan(std::string_view line, size_t link, const std::vector<Span>& spans, std::string* quoted,
           std::vector<Word>* words)
      : line_(line),
        spans_(spans),
        quoted_(quoted),
        words_(words),
        link_(link == kNone ? kNone : link + 1),
        has_quote_(line.find('"') != kNone) {}

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
  std::string* quoted_;
  std::vector<Word>* words_;
  size_t link_;
  bool has_quote_;
  size_t s_ = 0, c_ = 0, a_ = 0, e_ = 0;
};

void WordScan::Run() {
  const char* const bytes = line_.data();
  const size_t length = line_.size();
  const Span* const spans = spans_.data();
  const size_t span_count = spans_.size();
  size_t next_span = 0;
  for (size_t i = 1; i <= length;) {
    bool start = false, end = false, separator = false;
    size_t next = i + 1;
    if (next_span < span_count && i == spans[next_span].start) {
      start = true;
      if (spans[next_span].end == i) {
        end = true;
        ++next_span;
      } else {
        next = spans[next_span].end;  // the span's inside is passed over
      }
    } else if (next_span < span_count && i == spans[next_span].end) {
      end = true;
      ++next_span;
    } else {
      separator = bytes[i - 1] == ' ';
      if (!separator && i != length) {
        // Nothing happens up to the next space, span start or the line's
        // end: the bytes of a word are passed over at once.
        const size_t stop =
            next_span < span_count ? std::min(spans[next_span].start, length) : length;
        while (next < stop && bytes[next - 1] != ' ') ++next;
        i = next;
        continue;
      }
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
  word.text = text;
  if (!has_quote_ || std::find(text.begin(), text.end(), '"') == text.end()) return;
  const size_t at = quoted_->size();
  quoted_->append(text);
  char* const changed = quoted_->data() + at;
  std::replace(changed, changed + text.size(), '"', '\'');
  word.text = std::string_view(changed, text.size());
}

}  // namespace

void PageScan::Reset() {
  script_opened = script_closed = false;
  style_opened = style_closed = false;
  unfinished_tag = false;
}

bool BlockTest(std::string_view line, std::string_view keyword) {
  if (!FollowsTagStart(line, keyword)) return false;
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
  // Most lines hold no "=", so no "style=" and no link.
  const bool has_equals = line.find('=') != kNone;
  // "style=" is looked for as written: an attribute never opens a block.
  bool may_open_style = !has_equals || !common::Contains(line, "style=");
  if (SkipForBlock(may_open_style, lower, "style", "/style", state.style_opened,
                   state.style_closed)) {
    return false;
  }
  const size_t link = has_equals ? lower.find("href=") : kNone;
  if (has_equals && SkipForLink(lower, link)) return false;
  if (!FindSpans(line, state)) return false;
  // The changed texts of quoted words fit the line: the buffer never moves.
  state.quoted.clear();
  state.quoted.reserve(line.size());
  WordScan(line, link, state.spans, &state.quoted, words).Run();
  return true;
}

}  // namespace scan
