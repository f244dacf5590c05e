// The worker pool: ThreadCount - 1 worker threads, built once at start-up and
// kept until shut-down, and the fork-join step every split takes.
//
// How a band gets to a worker and back. The caller (the host's thread in a
// wrapped routine) claims the pool, writes each slice's arguments into that
// slice's WorkerBlock and calls RunSlices:
//
//   1. If the caller is on a worker's processor, that worker moves to the
//      processor no worker holds (placement.h): the two never take turns.
//      This is asked when the split will wake a worker, and every few splits.
//   2. The caller stores the slice procedure in JobProc and hands each worker
//      its slice through the worker's start word (handoff.h), which publishes
//      the blocks to it. A worker still spinning after its last slice sees the
//      word change and runs at once; a worker that has gone to sleep on its
//      start event is woken by a set of that event, the only time the caller
//      touches it.
//   3. The caller runs the last slice itself.
//   4. Each worker, its slice done, hands its done word back; the caller spins
//      on those words, and sleeps on the done events only of the workers that
//      are not done when its spin runs out, which then set them.
//   5. A worker spins half a millisecond for its next slice before it sleeps
//      on its start event, so an idle host's workers all sleep within a
//      millisecond of its last split (spin.h says how each side spins).
//
//   int threads = ClaimPool();     0: busy or no pool; run unsplit
//   fill SliceBlock(0 .. threads - 1)
//   RunSlices(proc);               returns when every slice is done
//   read results from the blocks
//   ReleasePool();
//
// A split allocates nothing: threads, events, blocks and words belong to the
// pool. The state behind these calls (pool_state.h) is the pool's alone.
#pragma once

#include <cstdint>

namespace rowfork {

// One participant's slice arguments, laid out by the split that fills it.
struct WorkerBlock {
  alignas(8) unsigned char bytes[256];
};
static_assert(sizeof(WorkerBlock) == 256);

// Runs one slice.
using SliceProc = void (*)(WorkerBlock *block);

// Builds the pool for `participants` threads, the calling one included: 0, or
// -108 with everything it made undone when memory, an event or a thread is
// lacking. The caller holds the pool (WaitAndClaimPool) and no pool exists.
int16_t CreateWorkerPool(int16_t participants);

// Ends every worker and frees the pool. The caller holds the pool.
void DestroyWorkerPool();

bool PoolExists();

// Whether a split holds the pool: what a routine called from inside a slice
// asks to learn that it runs in one.
bool SplitInProgress();

// Takes the pool for one split: the participants, or 0 when the pool is held
// or does not exist (the call then runs unsplit).
int ClaimPool();

// Takes the pool however long a split on another thread holds it, whether or
// not a pool exists: for building and ending it.
void WaitAndClaimPool();

// Gives the pool back.
void ReleasePool();

// Block k of the split; the last is the calling thread's.
WorkerBlock *SliceBlock(int k);

// Runs `proc` on every block, the last on the calling thread, and returns
// when all are done. Only the pool's claimant calls it.
void RunSlices(SliceProc proc);

}  // namespace rowfork
