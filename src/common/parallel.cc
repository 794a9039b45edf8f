#include "common/parallel.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace common {

unsigned ThreadCount(unsigned wanted) {
  if (wanted > 0) return wanted;
  return std::max(1u, std::thread::hardware_concurrency());
}

void ParallelFor(size_t count, unsigned threads, const std::function<void(size_t)>& work) {
  ParallelForWorkers(count, threads, [&](size_t item, unsigned) { work(item); });
}

void ParallelForWorkers(size_t count, unsigned threads,
                        const std::function<void(size_t, unsigned)>& work) {
  std::atomic<size_t> next{0};
  std::atomic<bool> failed{false};
  std::exception_ptr first_error;
  std::mutex error_mutex;
  auto take = [&](unsigned worker) {
    for (;;) {
      if (failed.load()) return;
      size_t item = next.fetch_add(1);
      if (item >= count) return;
      try {
        work(item, worker);
      } catch (...) {
        std::lock_guard<std::mutex> lock(error_mutex);
        if (!first_error) first_error = std::current_exception();
        failed.store(true);
        return;
      }
    }
  };
  const size_t helpers = std::min<size_t>(ThreadCount(threads), count) - (count > 0 ? 1 : 0);
  std::vector<std::thread> pool;
  pool.reserve(helpers);
  for (size_t i = 0; i < helpers; ++i) pool.emplace_back(take, static_cast<unsigned>(i + 1));
  take(0);
  for (std::thread& thread : pool) thread.join();
  if (first_error) std::rethrow_exception(first_error);
}

}  // namespace common
