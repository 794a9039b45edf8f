// The contents page files_list.htm: every page that holds words, one link
// per page, each with an anchor named after the page.
#pragma once

#include "driver/run_context.h"
#include "pages/page_list.h"

namespace pages {

/// Writes files_list.htm (created or overwritten) from the page list.
void WriteContentsPage(driver::RunContext& run, const PageList& pages);

}  // namespace pages
