// The markup rule of the text-to-page conversion: a "<" is kept where it
// begins a comment, a doctype, CDATA, a processing instruction, an end tag
// of a known element, or a start tag of one whose end tag (if it needs one)
// comes later in the file; every other "<" is text.
#include "input/markup.h"

#include <algorithm>

namespace input {
namespace {

struct Element {
  std::string_view name;
  bool needs_end_tag;  // neither void nor of optional end
};

// The known HTML elements, in byte order (searched by halves). The names
// whose end tag may be left out (void ones and those of optional end) start
// markup whether or not their end tag follows.
constexpr Element kElements[] = {
    {"a", 1}, {"abbr", 1}, {"acronym", 1}, {"address", 1}, {"area", 0}, {"article", 1},
    {"aside", 1}, {"audio", 1}, {"b", 1}, {"base", 0}, {"bdi", 1}, {"bdo", 1}, {"big", 1},
    {"blockquote", 1}, {"body", 0}, {"br", 0}, {"button", 1}, {"canvas", 1}, {"caption", 0},
    {"center", 1}, {"cite", 1}, {"code", 1}, {"col", 0}, {"colgroup", 0}, {"data", 1},
    {"datalist", 1}, {"dd", 0}, {"del", 1}, {"details", 1}, {"dfn", 1}, {"dialog", 1}, {"dir", 1},
    {"div", 1}, {"dl", 1}, {"dt", 0}, {"em", 1}, {"embed", 0}, {"fieldset", 1}, {"figcaption", 1},
    {"figure", 1}, {"font", 1}, {"footer", 1}, {"form", 1}, {"frame", 0}, {"frameset", 1},
    {"h1", 1}, {"h2", 1}, {"h3", 1}, {"h4", 1}, {"h5", 1}, {"h6", 1}, {"head", 0}, {"header", 1},
    {"hgroup", 1}, {"hr", 0}, {"html", 0}, {"i", 1}, {"iframe", 1}, {"img", 0}, {"input", 0},
    {"ins", 1}, {"kbd", 1}, {"label", 1}, {"legend", 1}, {"li", 0}, {"link", 0}, {"main", 1},
    {"map", 1}, {"mark", 1}, {"marquee", 1}, {"math", 1}, {"menu", 1}, {"meta", 0}, {"meter", 1},
    {"nav", 1}, {"nobr", 1}, {"noframes", 1}, {"noscript", 1}, {"object", 1}, {"ol", 1},
    {"optgroup", 1}, {"option", 1}, {"output", 1}, {"p", 0}, {"param", 0}, {"picture", 1},
    {"pre", 1}, {"progress", 1}, {"q", 1}, {"rp", 1}, {"rt", 0}, {"ruby", 1}, {"s", 1},
    {"samp", 1}, {"script", 1}, {"search", 1}, {"section", 1}, {"select", 1}, {"slot", 1},
    {"small", 1}, {"source", 0}, {"span", 1}, {"strike", 1}, {"strong", 1}, {"style", 1},
    {"sub", 1}, {"summary", 1}, {"sup", 1}, {"svg", 1}, {"table", 1}, {"tbody", 0}, {"td", 0},
    {"template", 1}, {"textarea", 1}, {"tfoot", 0}, {"th", 0}, {"thead", 0}, {"time", 1},
    {"title", 1}, {"tr", 0}, {"track", 0}, {"tt", 1}, {"u", 1}, {"ul", 1}, {"var", 1},
    {"video", 1}, {"wbr", 0},
};
static_assert(std::size(kElements) == MarkupRule::kElementCount);

constexpr size_t kNotAnElement = MarkupRule::kElementCount;
constexpr size_t kLongestName = 10;  // "blockquote", "figcaption"

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsLetterOrDigit(char c) { return IsLetter(c) || (c >= '0' && c <= '9'); }

// The length of the name that starts at `at`: the longest run of ASCII
// letters and digits, 0 when it does not start with a letter.
size_t NameLength(std::string_view line, size_t at) {
  if (at >= line.size() || !IsLetter(line[at])) return 0;
  size_t end = at;
  while (end < line.size() && IsLetterOrDigit(line[end])) ++end;
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

void MarkupRule::Record(std::string_view line, uint64_t line_start) {
  // A name ends at a byte that is no letter or digit; the line end is such
  // a byte, so no end tag reaches over a line.
  for (size_t at = line.find("</"); at != std::string_view::npos; at = line.find("</", at + 1)) {
    size_t index = ElementIndex(line.substr(at + 2, NameLength(line, at + 2)));
    if (index != kNotAnElement) last_end_tag_[index] = line_start + at;
  }
  // Most lines hold no ">" at all: one quick search spares them the
  // backward one.
  if (line.find('>') == std::string_view::npos) return;
  size_t close = line.rfind("-->");
  if (close != std::string_view::npos) last_comment_end_ = line_start + close;
}

bool MarkupRule::BeginsMarkup(std::string_view line, size_t at, uint64_t line_start) const {
  std::string_view rest = line.substr(at);
  const uint64_t position = line_start + at;
  if (rest.starts_with("<!--")) {
    return last_comment_end_ != kNever && last_comment_end_ >= position + 4;
  }
  if (StartsWithNoCase(rest, "<!doctype") || rest.starts_with("<![CDATA[")) return true;
  if (rest.starts_with("<?")) return rest.find("?>", 2) != std::string_view::npos;
  if (rest.starts_with("</")) {
    return ElementIndex(rest.substr(2, NameLength(rest, 2))) != kNotAnElement;
  }
  const size_t length = NameLength(rest, 1);
  const size_t index = ElementIndex(rest.substr(1, length));
  if (index == kNotAnElement) return false;
  if (1 + length < rest.size()) {
    const char next = rest[1 + length];
    if (next != ' ' && next != '\t' && next != '/' && next != '>') return false;
  }
  if (!kElements[index].needs_end_tag) return true;
  return last_end_tag_[index] != kNever && last_end_tag_[index] > position;
}

void MarkupRule::Escape(std::string_view line, uint64_t line_start, std::string* out) const {
  size_t from = 0;
  for (size_t at = line.find('<'); at != std::string_view::npos; at = line.find('<', at + 1)) {
    if (BeginsMarkup(line, at, line_start)) continue;
    out->append(line, from, at - from);
    out->append("&lt;");
    from = at + 1;
  }
  out->append(line, from);
}

}  // namespace input
