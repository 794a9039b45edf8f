// The annotated pages: every word of a page becomes a span carrying its word
// id, with a hidden navigation span after it when find word is on, and the
// highlight script and Before/Next/Content links join the pages.
#pragma once

#include <string>
#include <string_view>

#include "driver/run_context.h"
#include "pages/page_list.h"

namespace pages {

/// Annotates the pages of group `group` from wrd_24_<g>.txt (page, line,
/// column, word, word id, occurrence number, next page, in document order).
/// Each page is written to its copy <base>_02.htm, which is then copied
/// over the page. Pages without records are left as they are.
void AnnotateGroup(driver::RunContext& run, const PageList& pages, int group);

/// The annotated copy of a page: page_03.htm gives page_03_02.htm.
std::string AnnotatedCopyName(std::string_view page);

}  // namespace pages
