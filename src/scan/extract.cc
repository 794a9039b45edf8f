#include "scan/extract.h"

namespace scan {

void ExtractWords(driver::RunContext& /*run*/) {}

}  // namespace scan
