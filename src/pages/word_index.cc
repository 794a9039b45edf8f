#include "pages/word_index.h"

#include <string>
#include <string_view>
#include <vector>

#include "common/bytes.h"
#include "common/constants.h"
#include "pages/blocks.h"
#include "run/promo_block.h"

namespace pages {
namespace {

constexpr long long kPromoInterval = 100;

void WritePromoBlock(PageWriter& out, const std::vector<std::string>& promo) {
  for (const std::string& line : promo) out.Line(line);
}

}  // namespace

void WriteIndexHead(const runctx::Settings& settings, const platform::Stamp& now,
                    PageWriter& out) {
  WritePageHead(out, settings.code_page, kIndexTitle);
  WritePromoBlock(out, runctx::PromoBlockLines());
  out.Line("<br>");
  WriteSearchNotice(out);
  WriteTimeStamp(out, now);
  out.Line("<br><br>");
}

IndexEntryWriter::IndexEntryWriter(std::string_view target_site, std::string_view group,
                                   PageWriter& out, long long& promo_interval)
    : out_(out), promo_interval_(promo_interval), promo_(runctx::PromoBlockLines()) {
  out.Line("<a href=\"files_list.htm\"> Content </a><br>");
  out.Line("<br>");
  const std::string g(group);
  s_link_ = "&nbsp;&nbsp;<a href=\"s_" + g + ".htm#";
  s_end_ = "\">s_" + g + "</a>";
  search_link_ = "&nbsp;&nbsp; <a href=\"" + std::string(common::kSearchEngine) + "/search?q=";
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

void IndexEntryWriter::AppendLinkLine(const IndexEntry& entry) {
  line_.Append("<a href=\"", entry.page, "#", entry.id, "\" id=\"", entry.id, "\">", entry.word,
               "</a>&nbsp;&nbsp;&nbsp; (", entry.page, ", ");
  line_.AppendNumber(entry.count);
  line_.Append(")");
}

// The lines of a long entry after its "<br>" hold no break line, so they go
// to the page as one piece, joined by line ends.
void IndexEntryWriter::WriteLong(const IndexEntry& entry) {
  using common::kLineEnd;
  out_.Line("<br>");
  line_.Clear();
  AppendLinkLine(entry);
  line_.Append(kLineEnd, s_link_, entry.id, "_");
  line_.AppendNumber(entry.occurrence);
  line_.Append(s_end_, kLineEnd, "&nbsp;&nbsp;<a href=\"index.htm#", entry.id, "\"> index</a>");
  if (!site_end_.empty()) {
    line_.Append(kLineEnd, search_link_);
    common::AppendQueryEncoded(line_, entry.word);
    line_.Append(site_end_);
  }
  out_.Line(line_.view());
  if (++promo_interval_ > kPromoInterval) {
    WritePromoBlock(out_, promo_);
    promo_interval_ = 0;
  }
}

void IndexEntryWriter::Finish() {
  if (held_) {
    line_.Clear();
    AppendLinkLine(entry_);
    line_.Append("<br>");
    out_.Line(line_.view());
  }
  out_.Line("</body>");
  out_.Line("</html>");
  out_.Close();
}

}  // namespace pages
