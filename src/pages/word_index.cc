#include "pages/word_index.h"

#include <string>
#include <string_view>
#include <vector>

#include "common/bytes.h"
#include "common/constants.h"
#include "pages/blocks.h"
#include "run/promo_block.h"
#include "run/word_data.h"

namespace pages {
namespace {

constexpr long long kPromoInterval = 100;

void WritePromoBlock(PageWriter& out, const std::vector<std::string>& promo) {
  for (const std::string& line : promo) out.Line(line);
}

}  // namespace

void WriteIndexHead(const runctx::Settings& settings, const platform::Stamp& now, PageWriter& out) {
  WritePageHead(out, settings.code_page, kIndexTitle);
  WritePromoBlock(out, runctx::PromoBlockLines());
  out.Line("<br>");
  WriteSearchNotice(out);
  WriteTimeStamp(out, now);
  out.Line("<br><br>");
}

IndexEntryWriter::IndexEntryWriter(std::string_view target_site, std::string_view group,
                                   PageWriter& out, long long& promo_interval)
    : out_(out), promo_interval_(promo_interval), promo_(runctx::PromoBlockLines()), group_(group) {
  out.Line("<a href=\"files_list.htm\"> Content </a><br>");
  out.Line("<br>");
  if (!target_site.empty()) {
    // The query is percent-encoded where the word would cut it or change
    // its meaning (a "#", "&", "+" ...); the blank before "site:" stays.
    common::LineBuilder end;
    end.Append(" site:");
    common::AppendQueryEncoded(end, target_site);
    end.Append("\"> ", target_site, "</a>");
    site_end_ = end.view();
  }
}

// The entry's lines, as one piece joined by line ends (none is a break
// line): its link to the word on its page with its count there, to the
// search page, to the main index and, with a target site, to a web search.
// A word id of the usual size is copied as a piece of known size.
void IndexEntryWriter::WriteLong(const IndexEntry& entry) {
  out_.Line("<br>");
  runctx::WithIdPiece(entry.id, [&](auto id) { WriteLongOf(entry, id); });
  if (++promo_interval_ > kPromoInterval) {
    WritePromoBlock(out_, promo_);
    promo_interval_ = 0;
  }
}

template <typename Id>
void IndexEntryWriter::WriteLongOf(const IndexEntry& entry, Id id) {
  const common::Decimal count(entry.count);
  const common::Decimal occurrence(entry.occurrence);
  const common::ShortPiece group = group_.piece();
  const auto line = [&](const auto&... search) {
    out_.LineOf("<a href=\"", entry.page, "#", id, "\" id=\"", id, "\">", entry.word,
                "</a>&nbsp;&nbsp;&nbsp; (", entry.page, ", ", count.piece(),
                ")\r\n&nbsp;&nbsp;<a href=\"s_", group, ".htm#", id, "_", occurrence.piece(),
                "\">s_", group, "</a>\r\n&nbsp;&nbsp;<a href=\"index.htm#", id, "\"> index</a>",
                search...);
  };
  if (site_end_.empty()) return line();
  line("\r\n&nbsp;&nbsp; <a href=\"", common::kSearchEngine,
       "/search?q=", common::QueryEncoded(entry.word, query_), site_end_);
}

// The last entry: its link to the word on its page, with its count there.
void IndexEntryWriter::WriteShort(const IndexEntry& entry) {
  out_.LineOf("<a href=\"", entry.page, "#", entry.id, "\" id=\"", entry.id, "\">", entry.word,
              "</a>&nbsp;&nbsp;&nbsp; (", entry.page, ", ", common::Decimal(entry.count).piece(),
              ")<br>");
}

void IndexEntryWriter::Finish() {
  if (held_) WriteShort(entry_);
  out_.Line("</body>");
  out_.Line("</html>");
  out_.Close();
}

}  // namespace pages
