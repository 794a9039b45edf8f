#include "pages/pages.h"

namespace pages {

void WriteGroupPages(driver::RunContext& /*run*/) {}

void WriteMainIndex(driver::RunContext& /*run*/) {}

}  // namespace pages
