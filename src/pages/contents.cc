#include "pages/contents.h"

#include <string>

#include "pages/blocks.h"

namespace pages {

void WriteContentsPage(const runctx::Settings& settings, const platform::Stamp& now,
                       const PageList& pages, PageWriter& out) {
  WritePageHead(out, settings.code_page, kIndexTitle);
  out.Line("<br>");
  WriteSearchNotice(out);
  WriteTimeStamp(out, now);
  out.Line("<br>");
  std::string line;
  for (const std::string& page : pages.names()) {
    // The span is written "id = ", with a blank before its ">".
    Compose(line, {"<a href=\"", page, "\"", ">", "<span id = ", "\"", page, "\"", " >", page, "<",
                   "/span>", "</a><br>"});
    out.Line(line);
  }
  out.Line("<br><br>");
  out.Line("</body>");
  out.Line("</html>");
  out.Close();
}

}  // namespace pages
