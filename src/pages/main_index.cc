// The main index index.htm: every word once, in word id order, with one
// link per group that holds it, to the word's entry on that group's word
// index page, showing the number of its occurrences in the group.
#include "pages/main_index.h"

#include <string>
#include <string_view>
#include <vector>

#include "common/bytes.h"
#include "pages/blocks.h"
#include "run/clean_up.h"
#include "run/commands.h"
#include "run/screens.h"
#include "run/word_data.h"
#include "run/work_files.h"

namespace pages {
namespace {

using GroupLink = runctx::GroupLinks::Link;

void WriteGroupLink(PageWriter& out, std::string_view id, const GroupLink& link, bool with_count) {
  const common::Decimal group(link.group);
  const common::Decimal count(link.count);
  runctx::WithIdPiece(id, [&](auto id_piece) {
    if (with_count) {
      out.LineOf("&nbsp;&nbsp;<a href=\"i_", group.piece(), ".htm#", id_piece, "\" id=\"", id_piece,
                 "\">(i_", group.piece(), ",&nbsp;&nbsp;", count.piece(), ")</a>");
    } else {
      out.LineOf("&nbsp;&nbsp;<a href=\"i_", group.piece(), ".htm#", id_piece, "\" id=\"", id_piece,
                 "\">(i_", group.piece(), ")</a>");
    }
  });
}

// Word blocks: the word's written form (that of its first occurrence),
// then its group links; the last link of the index has no count.
void WriteWordBlocks(runctx::RunContext& run, const runctx::WordData& data,
                     runctx::GroupLinks& links, PageWriter& out) {
  std::string id;
  GroupLink link;
  bool open = false;
  for (GroupLink next; links.Next(&next);) {
    const uint32_t word = next.word;
    if (!open) {
      if (data.occurrence_count >= 3) runctx::Progress(run, 80);
      out.Line(data.Form(data.words[word].first_form));
    } else {
      WriteGroupLink(out, id, link, /*with_count=*/true);
      if (word != link.word) {
        out.Line("<br>");
        out.Line(data.Form(data.words[word].first_form));
      }
    }
    if (!open || word != link.word) {
      id.clear();
      data.AppendIdText(word, &id);
    }
    link = next;
    open = true;
  }
  if (open) WriteGroupLink(out, id, link, /*with_count=*/false);
}

}  // namespace

void WriteMainIndex(runctx::RunContext& run) {
  runctx::Progress(run, 60);
  runctx::Progress(run, 70);
  PageWriter out(runctx::CreateFile(run, runctx::kMainIndex), PageLayout::kInBlocks);
  WritePageHead(out, run.settings.code_page, kIndexTitle);
  out.Line("<br>");
  WriteSearchNotice(out);
  WriteTimeStamp(out, platform::Now());
  out.Line("<br><br>");
  out.Line("Use a combination of two keys (CTRL + F) to search.");
  out.Line("<br><br>");
  if (run.word_data) {
    const runctx::WordData& data = *run.word_data;
    {
      runctx::GroupLinks links(data, run.paths, run.paths.ForWrite(runctx::kGroupCountByIdFile));
      WriteWordBlocks(run, data, links, out);
    }
    runctx::RemoveReadUpTo(run, runctx::LastReader::kMainIndex);
  }
  out.Line("</body>");
  out.Line("</html>");
  out.Close();
}

}  // namespace pages
