#include "words/pipeline.h"

namespace words {

void BuildWordLists(driver::RunContext& /*run*/) {}

}  // namespace words
