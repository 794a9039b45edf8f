// The compiler tricks of the hot paths, each spelled here and nowhere else,
// so that a loop using one names it by what it does and a compiler without
// the builtin is served by changing this file alone.
#pragma once

namespace common {

/// Asks the processor to start loading the cache line that holds `address`
/// and goes on without waiting for it; the load may be dropped, never fails.
/// The word data's tables (word counts, form slots and starts, the texts of
/// forms and word ids) outgrow the cache and are read in no useful order:
/// the lookups of a batch of records, fetched ahead so, are in flight
/// together instead of each waiting for the miss before it. The numbers
/// are the builtin's defaults, which every caller has used from the start
/// and the group pass's batch size was measured with: 0, the line will be
/// read, not written; 3, keep it in every cache level, as it is read soon
/// after, and a word's entry often again by a later occurrence of it.
inline void Prefetch(const void* address) { __builtin_prefetch(address, /*rw=*/0, /*locality=*/3); }

}  // namespace common
