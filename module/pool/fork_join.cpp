#include "pool/fork_join.h"

#include <thread>

namespace rowfork {

// On a cache line of its own: every wrapped call tests it, and the workers'
// blocks and events should not share its line.
alignas(64) std::atomic<uint8_t> PoolBusy;

bool ClaimPool() {
  if (PoolBusy.exchange(1, std::memory_order_acquire) != 0) return false;
  if (PoolExists()) return true;
  ReleasePool();
  return false;
}

void WaitAndClaimPool() {
  while (PoolBusy.exchange(1, std::memory_order_acquire) != 0) std::this_thread::yield();
}

void ReleasePool() { PoolBusy.store(0, std::memory_order_release); }

void RunSlices(SliceProc proc) {
  const int workers = ThreadCount - 1;
  // Before the workers wake, so none shares the caller's processor.
  MakeWayForCaller();
  // Setting a start event publishes the blocks and JobProc to that worker.
  JobProc.store(proc, std::memory_order_relaxed);
  for (int k = 0; k < workers; ++k) SetEvent(StartEvents[k]);
  proc(WorkerBlocks[workers]);
  WaitForAll(DoneEvents, workers);
  for (int k = 0; k < workers; ++k) ResetEvent(DoneEvents[k]);
}

}  // namespace rowfork
