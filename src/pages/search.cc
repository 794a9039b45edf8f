#include "pages/search.h"

#include <array>
#include <cmath>
#include <vector>

#include "common/bytes.h"
#include "common/constants.h"
#include "pages/blocks.h"
#include "run/word_data.h"

namespace pages {

uint64_t SplitMix64::Next() {
  state_ += 0x9e3779b97f4a7c15ULL;
  uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

double SplitMix64::NextUnit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

std::string RandomPhrase(std::string_view word_list, size_t length_before_last,
                         SplitMix64& random) {
  std::array<std::string_view, kPhraseSlots> slots{};
  const double length = static_cast<double>(length_before_last);
  for (std::string_view& slot : slots) {
    auto p = static_cast<long long>(std::floor(random.NextUnit() * length));
    if (p < 1) p = 1;
    // Positions here are 0-based: the blank at or after p, then the next.
    size_t q = word_list.find(' ', static_cast<size_t>(p - 1));
    if (q == std::string_view::npos || q + 1 > length_before_last) continue;
    size_t q2 = word_list.find(' ', q + 1);
    if (q2 == std::string_view::npos) continue;
    slot = word_list.substr(q, q2 - q);
  }
  for (size_t i = 0; i + 1 < slots.size(); ++i) {
    for (size_t j = i + 1; j < slots.size(); ++j) {
      if (slots[j] == slots[i]) slots[j] = {};
    }
  }
  std::string phrase;
  for (std::string_view slot : slots) phrase += slot;
  return phrase;
}

SearchPageWriter::SearchPageWriter(const SearchPlace& place, PageWriter& out, SplitMix64& random)
    : out_(out), random_(random), group_(place.group) {
  WritePageHead(out, place.settings->code_page, kSearchTitle);
  WriteHighlightScript(out, *place.settings);
  // The address typed at the prompt is shown HTML-escaped; the target site
  // comes from the program's own name. The query's bytes that would cut it,
  // change its meaning or close the attribute are percent-encoded; blanks
  // stay.
  if (!place.destination_address.empty()) {
    common::LineBuilder text;
    common::AppendHtmlEscaped(text, place.destination_address);
    AddSite(place.destination_address, text.view());
  }
  if (!place.target_site.empty()) AddSite(place.target_site, place.target_site);
}

void SearchPageWriter::AddSite(std::string_view site, std::string_view text) {
  common::LineBuilder tail;
  tail.Append(" site:");
  common::AppendQueryEncoded(tail, site);
  tail.Append("\"> ", text, "</a>");
  site_tails_.emplace_back(tail.view());
}

// A word id of the usual size is copied as a piece of known size.
void SearchPageWriter::Add(const SearchWord& record) {
  if (has_line_ && record.line != line_number_) WriteTextLine();
  runctx::WithIdPiece(record.id, [&](auto id) { AddWord(record, id); });
}

template <typename Id>
void SearchPageWriter::AddWord(const SearchWord& record, Id id) {
  const std::string_view word = record.word;
  const common::Decimal occurrence(record.occurrence);
  const common::ShortPiece group = group_.piece();
  if (!has_line_ && !first_of_page_) {
    StartTextLine(record);
    words_line_.Append("<span id=\"", id, "_", occurrence.piece(), "\">", word,
                       " &nbsp </span>&nbsp <a href=\"i_", group, ".htm#", id, "\">", word,
                       "</a></span>");
  } else {
    if (!has_line_) StartTextLine(record);
    first_of_page_ = false;
    // Every word but a line's first: a blank, then the span holding the link.
    words_line_.Append(" <span id=\"", id, "_", occurrence.piece(), "\"><a href=\"i_", group,
                       ".htm#", id, "\">", word, "</a></span>");
  }
  if (common::ChangedByQuery(word)) {
    query_changes_ = true;
    // A word holding "<" may make the line hold "</html>"; nothing else does.
    if (word.find('<') != std::string_view::npos) may_end_html_ = true;
  }
  before_last_ = word_list_.size();
  word_list_.Append(common::Trim(word), " ");
  ++word_count_;
}

void SearchPageWriter::Finish() {
  if (has_line_) WriteTextLine();
  out_.Line("</body> <br>");
  out_.Line("</html> <br>");
  out_.Close();
}

void SearchPageWriter::StartTextLine(const SearchWord& record) {
  has_line_ = true;
  may_end_html_ = false;
  query_changes_ = false;
  line_number_ = record.line;
  first_page_.Clear();
  first_page_.Append(record.page);
  first_id_.Clear();
  first_id_.Append(record.id);
  words_line_.Clear();
  word_list_.Clear();
  word_count_ = 0;
}

// The words line and the lines of its trailer but the last hold no break
// line: the words line and the links to the indexes and the contents go
// to the page as one piece, joined by line ends, and so does each search
// link.
void SearchPageWriter::WriteTextLine() {
  has_line_ = false;
  // A words line holding "</html>" would end the page early in a browser.
  const bool drop =
      may_end_html_ && common::FindNoCase(words_line_.view(), "</html>") != std::string::npos;
  const std::string_view words = drop ? std::string_view() : words_line_.view();
  const std::string_view words_end = drop ? std::string_view() : std::string_view("<br>\r\n");
  const common::ShortPiece group = group_.piece();
  const std::string_view first_id = first_id_.view(), first_page = first_page_.view();
  out_.LineOf(words, words_end, "<a href=\"i_", group, ".htm#", first_id, "\">i_", group,
              "</a>\r\n&nbsp <a href=\"index.htm#", first_id,
              "\">index</a>\r\n&nbsp <a href=\"files_list.htm#", first_page, "\"> Content (",
              first_page, ")</a>");
  std::string_view phrase = word_list_.view();
  if (word_count_ > kPhraseSlots) {
    random_phrase_ = RandomPhrase(phrase, before_last_, random_);
    phrase = random_phrase_;
  }
  const std::string_view query = query_changes_ ? common::QueryEncoded(phrase, query_) : phrase;
  for (const std::string& tail : site_tails_) {
    out_.LineOf("&nbsp <a href=\"", common::kSearchEngine, "/search?q=", query, tail);
  }
  out_.LineOf("&nbsp <a href=\"", common::kSearchEngine, "/search?q=", query,
              "\"> web_search </a>");
  out_.Line("<br><br>");
}

}  // namespace pages
