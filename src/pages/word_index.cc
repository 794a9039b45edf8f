#include "pages/word_index.h"

#include <string>
#include <string_view>
#include <vector>

#include "common/bytes.h"
#include "common/constants.h"
#include "common/record.h"
#include "driver/conventions.h"
#include "pages/blocks.h"
#include "params/promote.h"

namespace pages {
namespace {

constexpr long long kPromoInterval = 100;

// One index entry: the records of one word on one page.
struct Entry {
  std::string id;
  std::string page;
  std::string word;        // as written in the entry's first record
  std::string occurrence;  // the first occurrence on the page
  long long count = 0;
};

// Writes the entries of one group in their long form, the last one in the
// short form.
class EntryWriter {
 public:
  EntryWriter(driver::RunContext& run, common::LineWriter& out, int group)
      : run_(run), out_(out), group_(std::to_string(group)) {}

  void WriteLong(const Entry& entry) {
    out_.Line("<br>");
    WriteLinkLine(entry);
    out_.Line(line_);
    Compose(line_, {"&nbsp;&nbsp;<a href=\"s_", group_, ".htm", "#", entry.id, "_",
                    entry.occurrence, "\"", ">", "s_", group_, "</a>"});
    out_.Line(line_);
    Compose(line_, {"&nbsp;&nbsp;<a href=\"index.htm#", entry.id, "\"", ">", " index", "</a>"});
    out_.Line(line_);
    if (!run_.target_site.empty()) {
      // The query is percent-encoded where the word would cut it or change
      // its meaning (a "#", "&", "+" ...); the blank before "site:" stays.
      Compose(line_, {"&nbsp;&nbsp; <a href=\"", common::kSearchEngine, "/search?q="});
      common::AppendQueryEncoded(line_, entry.word);
      line_ += " site:";
      common::AppendQueryEncoded(line_, run_.target_site);
      line_ += "\"> ";
      line_ += run_.target_site;
      line_ += "</a>";
      out_.Line(line_);
    }
  }

  void WriteShort(const Entry& entry) {
    WriteLinkLine(entry);
    line_ += "<br>";
    out_.Line(line_);
  }

 private:
  // The entry's link to the word on its page, with its count there.
  void WriteLinkLine(const Entry& entry) {
    Compose(line_, {"<a href=\"", entry.page, "#", entry.id, "\"", " id=", "\"", entry.id, "\"",
                    ">", entry.word, "</a>", "&nbsp;&nbsp;&nbsp; (", entry.page, ", ",
                    std::to_string(entry.count), ")"});
  }

  driver::RunContext& run_;
  common::LineWriter& out_;
  std::string group_;
  std::string line_;
};

}  // namespace

void WriteIndexHead(driver::RunContext& run, common::LineWriter& out) {
  WritePageHead(out, run.settings.code_page, kIndexTitle);
  params::WritePromoBlock(out);
  out.Line("<br>");
  WriteSearchNotice(out);
  WriteTimeStamp(out, platform::Now());
  out.Line("<br><br>");
}

void WriteIndexEntries(driver::RunContext& run, common::LineWriter& out, int group,
                       long long& promo_interval) {
  out.Line("<a href=\"files_list.htm\"> Content </a><br>");
  out.Line("<br>");
  EntryWriter writer(run, out, group);
  common::LineReader reader =
      driver::OpenListing(run, "wrd_14_" + std::to_string(group) + ".txt");
  std::vector<std::string_view> fields;
  Entry entry;
  bool open = false;
  std::string_view line;
  while (reader.Next(&line)) {
    if (line.empty()) continue;
    common::SplitRecord(line, &fields);
    fields.resize(7);
    if (open && fields[0] == entry.id && fields[1] == entry.page) {
      ++entry.count;
      continue;
    }
    if (open) {
      writer.WriteLong(entry);
      if (++promo_interval > kPromoInterval) {
        params::WritePromoBlock(out);
        promo_interval = 0;
      }
    }
    entry.id.assign(fields[0]);
    entry.page.assign(fields[1]);
    entry.word.assign(fields[4]);
    entry.occurrence.assign(fields[6]);
    entry.count = 1;
    open = true;
  }
  if (open) writer.WriteShort(entry);
  out.Line("</body>");
  out.Line("</html>");
  out.Close();
}

}  // namespace pages
