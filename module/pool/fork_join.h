// The fork-join step every split takes: claim the pool, fill one WorkerBlock
// per slice, run the slices (all but the last on the workers, the last on the
// calling thread), and release the pool.
//
//   if (!ClaimPool()) -> run unsplit
//   fill SliceBlock(0 .. ThreadCount - 1)
//   RunSlices(proc)          returns when every slice is done
//   read results from the blocks
//   ReleasePool()
//
// A split allocates nothing: threads, events and blocks belong to the pool.
#pragma once

#include <atomic>
#include <cstdint>

#include "pool/worker_pool.h"

namespace rowfork {

// Set from the moment a split claims the pool until it has read its results;
// a wrapped routine called meanwhile (from a slice, or from another host
// thread) runs unsplit. Taken with one atomic exchange, so two host threads
// can never both hold the pool.
extern std::atomic<uint8_t> PoolBusy;

// Takes the pool for one split. False when it is busy or no pool exists: the
// call then runs unsplit.
bool ClaimPool();

// Takes the pool however long a split on another thread holds it; for
// shut-down, whether or not a pool exists.
void WaitAndClaimPool();

// Gives the pool back.
void ReleasePool();

// Block k of the split; the last (ThreadCount - 1) is the calling thread's.
inline WorkerBlock *SliceBlock(int k) { return WorkerBlocks[k]; }

// Runs `proc` on every block, the last on the calling thread, and returns
// when all are done. Only the pool's claimant calls it.
void RunSlices(SliceProc proc);

}  // namespace rowfork
