#include "pages/blocks.h"

#include "common/bytes.h"
#include "common/constants.h"

namespace pages {

void Compose(std::string& line, std::initializer_list<std::string_view> pieces) {
  line.clear();
  for (std::string_view piece : pieces) line += piece;
}

void WritePageHead(PageWriter& out, std::string_view code_page, std::string_view title) {
  std::string meta;
  Compose(meta, {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=", code_page, "\"",
                 ">"});
  for (std::string_view line :
       {std::string_view("<html>"), std::string_view("<br>"), std::string_view("<head>"),
        std::string_view("<br>"), std::string_view(meta), std::string_view("<br>"), title,
        std::string_view("<br>"), std::string_view("</head>"), std::string_view("<br>"),
        std::string_view("<body>")}) {
    out.Line(line);
  }
}

void WriteSearchNotice(PageWriter& out) {
  out.Line("QUICK AND EASY INFORMATION SEARCH");
  out.Line("<br>");
  out.Line(
      "We offer users a fast and efficient way to search for information in input files, and "
      "they can also continue their search with the help of program-defined Google search "
      "phrases.");
  out.Line("<br>");
  out.Line("Just double-clicking on any word is enough to access the index of all words.");
  out.Line("<br>");
  out.Line("<br>");
  out.Line("Details:");
  out.Line("<br>");
  std::string link;
  Compose(link, {"<a href=\"", common::kMakerSite, "\">", common::kMakerSite, "</a>"});
  out.Line(link);
  out.Line("<br><br>");
}

void WriteTimeStamp(PageWriter& out, const platform::Stamp& now) {
  std::string line;
  Compose(line, {"Date (mm-dd-yy) = ", common::ZeroPad(now.month, 2), "-",
                 common::ZeroPad(now.day, 2), "-", common::ZeroPad(now.year, 4), "<br>"});
  out.Line(line);
  Compose(line, {"Time (h:m:s)    = ", common::ZeroPad(now.hour, 2), ":",
                 common::ZeroPad(now.minute, 2), ":", common::ZeroPad(now.second, 2), "<br>"});
  out.Line(line);
}

void WriteHighlightScript(PageWriter& out, const runctx::Settings& settings) {
  std::string line;
  out.Line("<script language=\"javascript\">");
  out.Line("if (history.length > 0)");
  out.Line("{");
  out.Line("document.writeln(\"<style type=\\\"text/css\\\">\");");
  Compose(line,
          {"document.writeln(self.location.hash + \" { color: ", settings.font_color, " } \");"});
  out.Line(line);
  Compose(line, {"document.writeln(self.location.hash + \" { font-size: ", settings.font_size,
                 " } \");"});
  out.Line(line);
  out.Line("document.writeln(self.location.hash + \" { font-weight: bold } \");");
  if (settings.find_word) {
    out.Line("document.writeln(self.location.hash + \" { display: inline } \");");
  }
  out.Line("document.writeln(\"</style>\");");
  out.Line("}");
  out.Line("</script>");
}

}  // namespace pages
