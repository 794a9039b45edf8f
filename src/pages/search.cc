#include "pages/search.h"

#include <array>
#include <cmath>
#include <vector>

#include "common/bytes.h"
#include "common/constants.h"
#include "pages/blocks.h"

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

namespace {

// Gathers the records of one search page into text lines and writes each
// line with its trailer.
class SearchPageWriter {
 public:
  SearchPageWriter(const SearchPlace& place, PageWriter& out, SplitMix64& random)
      : place_(place), out_(out), group_(place.group), random_(random) {}

  void Add(const SearchWord& record) {
    const std::string_view page = record.page, word = record.word, id = record.id;
    const std::string occurrence = std::to_string(record.occurrence);
    if (has_line_ && record.line != line_number_) WriteTextLine();
    if (!has_line_) {
      StartTextLine(page, record.line, id);
      if (first_of_page_) {
        AppendWord(word, id, occurrence);
        first_of_page_ = false;
      } else {
        Append(words_line_, {"<span id=\"", id, "_", occurrence, "\"", ">", word,
                             " &nbsp </span>", "&nbsp <a href=", "\"", "i_", group_, ".htm", "#",
                             id, "\"", ">", word, "</a>", "</span>"});
      }
    } else {
      AppendWord(word, id, occurrence);
    }
    before_last_ = word_list_.size();
    word_list_ += common::Trim(word);
    word_list_ += ' ';
    ++word_count_;
  }

  void Finish() {
    if (has_line_) WriteTextLine();
  }

 private:
  static void Append(std::string& to, std::initializer_list<std::string_view> pieces) {
    for (std::string_view piece : pieces) to += piece;
  }

  void StartTextLine(std::string_view page, long long line, std::string_view id) {
    has_line_ = true;
    line_number_ = line;
    first_page_.assign(page);
    first_id_.assign(id);
    words_line_.clear();
    word_list_.clear();
    word_count_ = 0;
  }

  // Every word but a line's first: a blank, then the span holding the link.
  void AppendWord(std::string_view word, std::string_view id, std::string_view occurrence) {
    Append(words_line_, {" ", "<span id=", "\"", id, "_", occurrence, "\"", ">", "<a href=", "\"",
                         "i_", group_, ".htm", "#", id, "\"", ">", word, "</a>", "</span>"});
  }

  void WriteTextLine();
  void WriteSearchLink(std::string_view phrase, std::string_view site, bool escape_text);

  const SearchPlace& place_;
  PageWriter& out_;
  std::string_view group_;
  SplitMix64& random_;
  bool first_of_page_ = true;
  bool has_line_ = false;
  long long line_number_ = 0;  // the line of the text line being gathered
  std::string first_page_;   // page and word id of the line's first word
  std::string first_id_;
  std::string words_line_;
  std::string word_list_;    // the words, each followed by one blank
  size_t word_count_ = 0;
  size_t before_last_ = 0;   // the word list's length before its last word
  std::string random_phrase_;
  std::string line_;
};

void SearchPageWriter::WriteTextLine() {
  has_line_ = false;
  // A words line holding "</html>" would end the page early in a browser.
  if (common::FindNoCase(words_line_, "</html>") == std::string::npos) {
    words_line_ += "<br>";
    out_.Line(words_line_);
  }
  out_.LineOf({"<a href=\"i_", group_, ".htm", "#", first_id_, "\"", ">", "i_", group_, "</a>"});
  out_.LineOf({"&nbsp <a href=\"index.htm#", first_id_, "\"", ">", "index", "</a>"});
  out_.LineOf({"&nbsp <a href=\"files_list.htm#", first_page_, "\"", "> Content (", first_page_,
               ")</a>"});
  if (word_count_ > kPhraseSlots) random_phrase_ = RandomPhrase(word_list_, before_last_, random_);
  std::string_view phrase = word_count_ <= kPhraseSlots ? word_list_ : random_phrase_;
  // The address typed at the prompt is shown HTML-escaped; the target site
  // comes from the program's own name.
  if (!place_.destination_address.empty()) {
    WriteSearchLink(phrase, place_.destination_address, /*escape_text=*/true);
  }
  if (!place_.target_site.empty()) WriteSearchLink(phrase, place_.target_site, /*escape_text=*/false);
  Compose(line_, {"&nbsp <a href=\"", common::kSearchEngine, "/search?q="});
  common::AppendQueryEncoded(line_, phrase);
  line_ += "\"> web_search </a>";
  out_.Line(line_);
  out_.Line("<br><br>");
}

// The query's bytes that would cut it, change its meaning or close the
// attribute are percent-encoded; blanks stay.
void SearchPageWriter::WriteSearchLink(std::string_view phrase, std::string_view site,
                                       bool escape_text) {
  Compose(line_, {"&nbsp <a href=\"", common::kSearchEngine, "/search?q="});
  common::AppendQueryEncoded(line_, phrase);
  line_ += " site:";
  common::AppendQueryEncoded(line_, site);
  line_ += "\"> ";
  if (escape_text) {
    common::AppendHtmlEscaped(line_, site);
  } else {
    line_ += site;
  }
  line_ += "</a>";
  out_.Line(line_);
}

}  // namespace

void WriteSearchPage(const SearchPlace& place, PageWriter& out,
                     const std::function<bool(SearchWord*)>& next, SplitMix64& random) {
  WritePageHead(out, place.settings->code_page, kSearchTitle);
  WriteHighlightScript(out, *place.settings);
  SearchPageWriter writer(place, out, random);
  SearchWord word;
  while (next(&word)) writer.Add(word);
  writer.Finish();
  out.Line("</body> <br>");
  out.Line("</html> <br>");
  out.Close();
}

}  // namespace pages
