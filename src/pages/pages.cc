#include "pages/pages.h"

#include <string>

#include "common/lines.h"
#include "driver/conventions.h"
#include "pages/annotate.h"
#include "pages/contents.h"
#include "pages/page_list.h"
#include "pages/search.h"
#include "pages/word_index.h"

namespace pages {
namespace {

// What lives for the whole group pass: the page list, the promo interval
// counter of the word index pages and the generator of the search phrases.
struct GroupPass {
  PageList pages;
  long long promo_interval = 0;
  SplitMix64 random;
};

// The folder wrd_24 receives a copy of every wrd_24_<g>.txt (emptied first
// when a run left it), and the copies are brought back into the program's
// folder.
void PrepareWordFolder(driver::RunContext& run) {
  bool exists = driver::DetectFolder(run, "dir /b *.  > dir_01.txt", "dir_01.txt", "wrd_24");
  if (exists) {
    driver::RunCommand(run, "dir > wrd_24\\f_01.txt");
    driver::RunCommand(run, "del /q wrd_24\\*.txt > out_null.list");
  } else {
    driver::RunCommand(run, "md wrd_24 > out_null.list");
  }
  driver::RunCommand(run, "copy wrd_24*.txt wrd_24\\ > out_null.list");
  driver::RunCommand(run, "copy wrd_24\\*.txt > out_null.list");
}

// One group: its annotated pages, the head of its word index page, the
// contents page, the rest of the word index page, its search page.
void WriteGroup(driver::RunContext& run, GroupPass& pass, int group) {
  AnnotateGroup(run, pass.pages, group);
  common::LineWriter index = driver::CreateFile(run, "i_" + std::to_string(group) + ".htm");
  WriteIndexHead(run, index);
  WriteContentsPage(run, pass.pages);
  WriteIndexEntries(run, index, group, pass.promo_interval);
  WriteSearchPage(run, group, pass.random);
}

}  // namespace

void WriteGroupPages(driver::RunContext& run) {
  PrepareWordFolder(run);
  GroupPass pass;
  pass.pages = PageList::Load(run);
  for (int group = 1; group <= run.group_count; ++group) WriteGroup(run, pass, group);
}

}  // namespace pages
