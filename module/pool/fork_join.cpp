// Claiming the pool and running one split's slices.
#include <atomic>

#include "pool/placement.h"
#include "pool/pool_state.h"

namespace rowfork {

OwnCacheLine<std::atomic<uint8_t>> PoolBusy;

int ClaimPool() {
  if (PoolBusy.exchange(1, std::memory_order_acquire) != 0) return 0;
  if (PoolExists()) return ThreadCount.load(std::memory_order_relaxed);
  ReleasePool();
  return 0;
}

void WaitAndClaimPool() {
  while (PoolBusy.exchange(1, std::memory_order_acquire) != 0) SwitchToThread();
}

void ReleasePool() { PoolBusy.store(0, std::memory_order_release); }

bool SplitInProgress() { return PoolBusy.load(std::memory_order_relaxed) != 0; }

WorkerBlock *SliceBlock(int k) { return WorkerBlocks[k]; }

void RunSlices(SliceProc proc) {
  const int workers = ThreadCount.load(std::memory_order_relaxed) - 1;
  MakeWayForCaller(AnyWorkerAsleep(workers));
  // Left alone when unchanged, so that the workers keep the line it shares
  // with the pool's arrays.
  if (JobProc.load(std::memory_order_relaxed) != proc) JobProc.store(proc, std::memory_order_relaxed);
  StartWorkers(workers);
  proc(WorkerBlocks[workers]);
  JoinWorkers(workers);
}

}  // namespace rowfork
