#include "scan/page_set.h"

namespace scan {

void AssemblePageSet(driver::RunContext& /*run*/) {}

}  // namespace scan
