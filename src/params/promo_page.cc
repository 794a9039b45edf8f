// The promotional page f_promote.htm: a fixed page of promotional lines
// that joins the input pages in htm_in and is indexed as page 1.
#include "params/promo_page.h"

#include "run/commands.h"
#include "run/promo_block.h"
#include "run/work_files.h"

namespace params {

void WritePromotionalPage(runctx::RunContext& run) {
  platform::LineWriter out = runctx::CreateFile(run, runctx::kPromotionalPage);
  out.Line("<html>");
  out.Line("<head>");
  out.Line("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" +
           run.settings.code_page + "\">");
  out.Line("<title>advertising message</title>");
  out.Line("</head>");
  out.Line("<body>");
  runctx::WritePromoBlock(out);
  out.Line("</body>");
  out.Line("<br>");
  out.Line("<br>");
  out.Line("</html>");
  out.Close();
  using runctx::Cmd, runctx::kHtmIn, runctx::kOutNullList, runctx::kPromotionalPage;
  runctx::RunCommand(run, Cmd("copy /y ", kPromotionalPage, " ", kHtmIn, "\\", kPromotionalPage,
                              " > ", kOutNullList));
}

}  // namespace params
