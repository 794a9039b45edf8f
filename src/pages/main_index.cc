// The main index index.htm: every word once, with one link per group that
// holds it, to the word's entry on that group's word index page.
#include "pages/pages.h"

#include <string>
#include <string_view>
#include <vector>

#include "common/bytes.h"
#include "common/record.h"
#include "driver/conventions.h"
#include "pages/blocks.h"
#include "words/file_sort.h"

namespace pages {
namespace {

// True when `name` holds at least `wanted` lines; reads no further.
bool HasLines(driver::RunContext& run, std::string_view name, int wanted) {
  common::LineReader reader = driver::OpenListing(run, name);
  std::string_view line;
  int count = 0;
  while (count < wanted && reader.Next(&line)) ++count;
  return count >= wanted;
}

// One group link: the records of one word id in one group. The count is
// the number of its records, counted while they stream past.
struct GroupLink {
  std::string id;
  std::string group_field;  // right-aligned in 5 characters
  long long count = 0;
};

void WriteGroupLink(common::LineWriter& out, std::string& line, const GroupLink& link,
                    bool with_count) {
  std::string group = std::to_string(common::ParseDigits(common::Trim(link.group_field)));
  std::string count = with_count ? ",&nbsp;&nbsp;" + std::to_string(link.count) : std::string();
  Compose(line, {"&nbsp;&nbsp;<a href=\"i_", group, ".htm", "#", link.id, "\"", " id=", "\"",
                 link.id, "\"", ">", "(i_", group, count, ")", "</a>"});
  out.Line(line);
}

// Word blocks from wrd_16.txt (word id, group, page, line, column, word,
// occurrence; sorted): the word's written form, then its group links. The
// last link of the index is written without its count.
void WriteWordBlocks(driver::RunContext& run, common::LineWriter& out, bool enough_records) {
  common::LineReader reader = driver::OpenListing(run, "wrd_16.txt");
  std::vector<std::string_view> fields;
  std::string line;
  GroupLink link;
  bool open = false;
  std::string_view record;
  while (reader.Next(&record)) {
    if (record.empty()) continue;
    common::SplitRecord(record, &fields);
    fields.resize(7);
    std::string_view id = fields[0], group = fields[1], word = fields[5];
    if (open && id == link.id && group == link.group_field) {
      ++link.count;
      continue;
    }
    if (!open) {
      if (enough_records) driver::Progress(run, 80);
      out.Line(word);
    } else {
      WriteGroupLink(out, line, link, /*with_count=*/true);
      if (id != link.id) {
        out.Line("<br>");
        out.Line(word);
      }
    }
    link.id.assign(id);
    link.group_field.assign(group);
    link.count = 1;
    open = true;
  }
  if (open) WriteGroupLink(out, line, link, /*with_count=*/false);
}

}  // namespace

void WriteMainIndex(driver::RunContext& run) {
  driver::Progress(run, 60);
  run.sort_input = "wrd_15.txt";
  run.sort_output = "wrd_16.txt";
  words::FileSort(run);
  bool enough_records = HasLines(run, "wrd_16.txt", /*wanted=*/3);
  driver::Progress(run, 70);
  common::LineWriter out = driver::CreateFile(run, "index.htm");
  WritePageHead(out, run.settings.code_page, kIndexTitle);
  out.Line("<br>");
  WriteSearchNotice(out);
  WriteTimeStamp(out, platform::Now());
  out.Line("<br><br>");
  out.Line("Use a combination of two keys (CTRL + F) to search.");
  out.Line("<br><br>");
  WriteWordBlocks(run, out, enough_records);
  out.Line("</body>");
  out.Line("</html>");
  out.Close();
}

}  // namespace pages
