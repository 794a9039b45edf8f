// Work spread over the machine's cores: a fixed number of threads take the
// items of a list in turn. Each item writes only what is its own, so the
// result does not depend on the number of threads.
#pragma once

#include <cstddef>
#include <functional>

namespace common {

/// The number of threads to use: `wanted` when above 0, else every
/// hardware thread (at least one).
unsigned ThreadCount(unsigned wanted);

/// Calls `work(i)` once for each i in [0, count), on up to `threads`
/// threads (the caller's thread among them). Items are taken in increasing
/// order. When an item throws, the items not yet started are skipped and
/// the first exception is thrown again in the caller once all threads have
/// stopped.
void ParallelFor(size_t count, unsigned threads, const std::function<void(size_t)>& work);

/// As ParallelFor, telling `work` also which of the threads runs it (0 up
/// to `threads` - 1), so that each thread can keep buffers of its own.
void ParallelForWorkers(size_t count, unsigned threads,
                        const std::function<void(size_t item, unsigned worker)>& work);

}  // namespace common
