#include "bench_pool.h"

#include <cstdlib>

#include "pool/worker_pool.h"

namespace rowfork::bench {

void UsePool(int threads) {
  if (PoolExists() && ThreadCount == threads) return;
  if (PoolExists()) DestroyWorkerPool();
  ThreadCount = static_cast<int16_t>(threads);
  if (CreateWorkerPool(ThreadCount) != 0) std::abort();
}

}  // namespace rowfork::bench
