// The libFuzzer entry of one fuzz target: INDEXER_FUZZ_ENTRY names its
// function (see fuzz_targets.h), set by the build for each target.
#include "fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return fuzz::INDEXER_FUZZ_ENTRY(data, size);
}
