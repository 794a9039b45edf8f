// The contents page files_list.htm: every page that holds words, one link
// per page, each with an anchor named after the page.
#pragma once

#include "pages/page_list.h"
#include "pages/page_writer.h"
#include "platform/console.h"
#include "run/run_context.h"

namespace pages {

/// Writes the contents page into `out` from the page list, with the time
/// stamp `now`; then closes `out`.
void WriteContentsPage(const runctx::Settings& settings, const platform::Stamp& now,
                       const PageList& pages, PageWriter& out);

}  // namespace pages
