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

// Writes the entries of one group in their long form, the last one in the
// short form.
class EntryWriter {
 public:
  EntryWriter(std::string_view target_site, PageWriter& out, std::string_view group)
      : target_site_(target_site), out_(out), group_(group) {}

  void WriteLong(const IndexEntry& entry) {
    out_.Line("<br>");
    WriteLinkLine(entry);
    out_.Line(line_);
    const std::string occurrence = std::to_string(entry.occurrence);
    out_.LineOf({"&nbsp;&nbsp;<a href=\"s_", group_, ".htm", "#", entry.id, "_", occurrence, "\"",
                 ">", "s_", group_, "</a>"});
    out_.LineOf({"&nbsp;&nbsp;<a href=\"index.htm#", entry.id, "\"", ">", " index", "</a>"});
    if (!target_site_.empty()) {
      // The query is percent-encoded where the word would cut it or change
      // its meaning (a "#", "&", "+" ...); the blank before "site:" stays.
      Compose(line_, {"&nbsp;&nbsp; <a href=\"", common::kSearchEngine, "/search?q="});
      common::AppendQueryEncoded(line_, entry.word);
      line_ += " site:";
      common::AppendQueryEncoded(line_, target_site_);
      line_ += "\"> ";
      line_ += target_site_;
      line_ += "</a>";
      out_.Line(line_);
    }
  }

  void WriteShort(const IndexEntry& entry) {
    WriteLinkLine(entry);
    line_ += "<br>";
    out_.Line(line_);
  }

 private:
  // The entry's link to the word on its page, with its count there.
  void WriteLinkLine(const IndexEntry& entry) {
    Compose(line_, {"<a href=\"", entry.page, "#", entry.id, "\"", " id=", "\"", entry.id, "\"",
                    ">", entry.word, "</a>", "&nbsp;&nbsp;&nbsp; (", entry.page, ", ",
                    std::to_string(entry.count), ")"});
  }

  std::string_view target_site_;
  PageWriter& out_;
  std::string_view group_;
  std::string line_;
};

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

void WriteIndexEntries(std::string_view target_site, std::string_view group,
                       PageWriter& out, const std::function<bool(IndexEntry*)>& next,
                       long long& promo_interval) {
  out.Line("<a href=\"files_list.htm\"> Content </a><br>");
  out.Line("<br>");
  EntryWriter writer(target_site, out, group);
  const std::vector<std::string> promo = runctx::PromoBlockLines();
  IndexEntry entry;
  bool open = next(&entry);
  IndexEntry following;
  while (open && next(&following)) {
    writer.WriteLong(entry);
    if (++promo_interval > kPromoInterval) {
      WritePromoBlock(out, promo);
      promo_interval = 0;
    }
    entry = following;
  }
  if (open) writer.WriteShort(entry);
  out.Line("</body>");
  out.Line("</html>");
  out.Close();
}

}  // namespace pages
