// The markup rule of the text-to-page conversion: a "<" is kept where it
// begins a comment, a doctype, a processing instruction, an end tag of a
// known element, or a start tag of one that counts where it stands (with
// its end tag later in the file, where it needs one); every other "<" is
// text.
#include "input/markup.h"

#include <algorithm>
#include <iterator>

namespace input {
namespace {

// Where a start tag of an element counts as markup.
enum class Kind : uint8_t {
  // Only when its end tag comes later in the file: "<style>" in prose
  // would otherwise hide the rest of the page.
  kNeedsEndTag,
  // Always: its end tag may be left out (p, li, td, ...; and br, hr, wbr,
  // which hold nothing and are written bare).
  kAlways,
  // The other elements that hold nothing (img, input, source, link, ...):
  // only with a blank after the name, where attributes follow; a bare
  // "<input>" or "<source>" is a placeholder, not a widget.
  kWithAttributes,
};

struct Element {
  std::string_view name;
  Kind kind;
};

constexpr Kind N = Kind::kNeedsEndTag;
constexpr Kind A = Kind::kAlways;
constexpr Kind V = Kind::kWithAttributes;

// The known HTML elements, in byte order (searched by halves). The ones
// whose content a browser does not show as page text, and whose words
// word extraction does not pass over (textarea, title, iframe, noscript,
// noframes, template), are not among them: their tags show as written
// and their words as words.
constexpr Element kElements[] = {
    {"a", N},        {"abbr", N},   {"acronym", N},  {"address", N},    {"area", V},
    {"article", N},  {"aside", N},  {"audio", N},    {"b", N},          {"base", V},
    {"bdi", N},      {"bdo", N},    {"big", N},      {"blockquote", N}, {"body", A},
    {"br", A},       {"button", N}, {"canvas", N},   {"caption", A},    {"center", N},
    {"cite", N},     {"code", N},   {"col", V},      {"colgroup", A},   {"data", N},
    {"datalist", N}, {"dd", A},     {"del", N},      {"details", N},    {"dfn", N},
    {"dialog", N},   {"dir", N},    {"div", N},      {"dl", N},         {"dt", A},
    {"em", N},       {"embed", V},  {"fieldset", N}, {"figcaption", N}, {"figure", N},
    {"font", N},     {"footer", N}, {"form", N},     {"frame", V},      {"frameset", N},
    {"h1", N},       {"h2", N},     {"h3", N},       {"h4", N},         {"h5", N},
    {"h6", N},       {"head", A},   {"header", N},   {"hgroup", N},     {"hr", A},
    {"html", A},     {"i", N},      {"img", V},      {"input", V},      {"ins", N},
    {"kbd", N},      {"label", N},  {"legend", N},   {"li", A},         {"link", V},
    {"main", N},     {"map", N},    {"mark", N},     {"marquee", N},    {"math", N},
    {"menu", N},     {"meta", V},   {"meter", N},    {"nav", N},        {"nobr", N},
    {"object", N},   {"ol", N},     {"optgroup", N}, {"option", N},     {"output", N},
    {"p", A},        {"param", V},  {"picture", N},  {"pre", N},        {"progress", N},
    {"q", N},        {"rp", N},     {"rt", A},       {"ruby", N},       {"s", N},
    {"samp", N},     {"script", N}, {"search", N},   {"section", N},    {"select", N},
    {"slot", N},     {"small", N},  {"source", V},   {"span", N},       {"strike", N},
    {"strong", N},   {"style", N},  {"sub", N},      {"summary", N},    {"sup", N},
    {"svg", N},      {"table", N},  {"tbody", A},    {"td", A},         {"tfoot", A},
    {"th", A},       {"thead", A},  {"time", N},     {"tr", A},         {"track", V},
    {"tt", N},       {"u", N},      {"ul", N},       {"var", N},        {"video", N},
    {"wbr", A},
};
static_assert(std::size(kElements) == MarkupRule::kElementCount);

constexpr size_t kNotAnElement = MarkupRule::kElementCount;
constexpr size_t kLongestName = 10;  // "blockquote", "figcaption"
static_assert(2 + kLongestName + 1 <= LineWindow::kLookahead);

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsLetterOrDigit(char c) { return IsLetter(c) || (c >= '0' && c <= '9'); }

// The length of the name that starts at `at`: the longest run of ASCII
// letters and digits, 0 when it does not start with a letter. A run is
// followed no further than one byte past the longest element name.
size_t NameLength(std::string_view bytes, size_t at) {
  if (at >= bytes.size() || !IsLetter(bytes[at])) return 0;
  const size_t stop = std::min(bytes.size(), at + kLongestName + 1);
  size_t end = at;
  while (end < stop && IsLetterOrDigit(bytes[end])) ++end;
  return end - at;
}

// The index of the known element `name` (any ASCII case), or kNotAnElement.
size_t ElementIndex(std::string_view name) {
  if (name.empty() || name.size() > kLongestName) return kNotAnElement;
  char lower[kLongestName];
  for (size_t i = 0; i < name.size(); ++i) {
    lower[i] = (name[i] >= 'A' && name[i] <= 'Z') ? char(name[i] + 32) : name[i];
  }
  std::string_view key(lower, name.size());
  const Element* end = std::end(kElements);
  const Element* hit =
      std::lower_bound(std::begin(kElements), end, key,
                       [](const Element& e, std::string_view k) { return e.name < k; });
  return (hit != end && hit->name == key) ? size_t(hit - kElements) : kNotAnElement;
}

// The known element whose name starts at `at` and is followed by one of
// `after` or by the end of the line; kNotAnElement otherwise. A name that
// runs to the end of a window that is not its line's last is longer than
// any element's.
size_t NamedElement(const LineWindow& window, size_t at, std::string_view after) {
  const size_t length = NameLength(window.bytes, at);
  const size_t next = at + length;
  if (next == window.bytes.size() ? !window.last
                                  : after.find(window.bytes[next]) == std::string_view::npos) {
    return kNotAnElement;
  }
  return ElementIndex(window.bytes.substr(at, length));
}

// An end tag at `at`: "</" and a known name, then a blank, a tab, ">" or
// the end of the line (so "</b-tree>" and "</p@example.org>" are text).
size_t EndTagAt(const LineWindow& window, size_t at) {
  return NamedElement(window, at + 2, " \t>");
}

bool StartsWithNoCase(std::string_view text, std::string_view lower_prefix) {
  if (text.size() < lower_prefix.size()) return false;
  for (size_t i = 0; i < lower_prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = char(c + 32);
    if (c != lower_prefix[i]) return false;
  }
  return true;
}

}  // namespace

MarkupRule::MarkupRule() { last_end_tag_.fill(kNever); }

void MarkupRule::Record(const LineWindow& window) {
  const std::string_view bytes = window.bytes;
  for (size_t at = bytes.find("</"); at < window.settled; at = bytes.find("</", at + 1)) {
    const size_t index = EndTagAt(window, at);
    if (index != kNotAnElement) last_end_tag_[index] = window.start + at;
  }
  if (window.settled == 0) return;
  // Most lines hold no ">" at all: one quick search spares them the
  // backward ones.
  const bool closes = bytes.find('>') != std::string_view::npos;
  if (closes) {
    const size_t comment_end = bytes.rfind("-->", window.settled - 1);
    if (comment_end != std::string_view::npos) last_comment_end_ = window.start + comment_end;
  }
  // A line of one window finds its "?>" while it is escaped.
  if (window.first && window.last) return;
  if (window.first) line_instruction_end_ = kNever;
  if (closes) {
    const size_t instruction_end = bytes.rfind("?>", window.settled - 1);
    if (instruction_end != std::string_view::npos) {
      line_instruction_end_ = window.start + instruction_end;
    }
  }
  if (window.last) last_instruction_ends_.push_back(line_instruction_end_);
}

bool MarkupRule::BeginsMarkup(const LineWindow& window, size_t at) const {
  const std::string_view rest = window.bytes.substr(at);
  const uint64_t position = window.start + at;
  if (rest.starts_with("<!--")) {
    return last_comment_end_ != kNever && last_comment_end_ >= position + 4;
  }
  if (StartsWithNoCase(rest, "<!doctype")) return true;
  if (rest.starts_with("<?")) {
    if (rest.find("?>", 2) != std::string_view::npos) return true;
    return !window.last && line_instruction_end_ != kNever && line_instruction_end_ >= position + 2;
  }
  if (rest.starts_with("</")) return EndTagAt(window, at) != kNotAnElement;
  const size_t index = NamedElement(window, at + 1, " \t/>");
  if (index == kNotAnElement) return false;
  switch (kElements[index].kind) {
    case Kind::kAlways:
      return true;
    case Kind::kWithAttributes: {
      const size_t next = at + 1 + NameLength(window.bytes, at + 1);
      return next < window.bytes.size() &&
             (window.bytes[next] == ' ' || window.bytes[next] == '\t');
    }
    case Kind::kNeedsEndTag:
      break;
  }
  return last_end_tag_[index] != kNever && last_end_tag_[index] > position;
}

void MarkupRule::Escape(const LineWindow& window, std::string* out) {
  if (window.first && !window.last) {
    line_instruction_end_ =
        next_line_ < last_instruction_ends_.size() ? last_instruction_ends_[next_line_++] : kNever;
  }
  const std::string_view bytes = window.bytes;
  size_t from = 0;
  for (size_t at = bytes.find('<'); at < window.settled; at = bytes.find('<', at + 1)) {
    if (BeginsMarkup(window, at)) continue;
    out->append(bytes, from, at - from);
    out->append("&lt;");
    from = at + 1;
  }
  out->append(bytes, from, window.settled - from);
}

}  // namespace input
