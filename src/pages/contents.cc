#include "pages/contents.h"

#include <string>

#include "driver/conventions.h"
#include "pages/blocks.h"

namespace pages {

void WriteContentsPage(driver::RunContext& run, const PageList& pages) {
  common::LineWriter out = driver::CreateFile(run, "files_list.htm");
  WritePageHead(out, run.settings.code_page, kIndexTitle);
  out.Line("<br>");
  WriteSearchNotice(out);
  WriteTimeStamp(out, platform::Now());
  out.Line("<br>");
  std::string line;
  for (const std::string& page : pages.names()) {
    // The span is written "id = " with a blank before its ">", as it always was.
    Compose(line, {"<a href=\"", page, "\"", ">", "<span id = ", "\"", page, "\"", " >", page,
                   "<", "/span>", "</a><br>"});
    out.Line(line);
  }
  out.Line("<br><br>");
  out.Line("</body>");
  out.Line("</html>");
  out.Close();
}

}  // namespace pages
