#include "bench_pool.h"

#include <cstdlib>

#include "pool/pool.h"

namespace rowfork::bench {

void UsePool(int threads) {
  static int built_for = 0;
  if (PoolExists() && built_for == threads) return;
  built_for = threads;
  WaitAndClaimPool();
  if (PoolExists()) DestroyWorkerPool();
  const int16_t built = CreateWorkerPool(static_cast<int16_t>(threads));
  ReleasePool();
  if (built != 0) std::abort();
}

}  // namespace rowfork::bench
