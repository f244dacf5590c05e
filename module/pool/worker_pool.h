// The worker pool: ThreadCount - 1 worker threads, built once at start-up and
// kept until shut-down. Worker k sleeps on its start event, runs one slice
// (JobProc on WorkerBlock k) when woken, and reports on its done event. The
// thread that calls a wrapped routine is the last participant and uses the
// last block. Row-split dispatch (pool/fork_join.h) is the pool's only user.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/win32.h"

namespace rowfork {

// One participant's slice arguments, laid out by the split that fills it.
struct WorkerBlock {
  alignas(8) unsigned char bytes[256];
};
static_assert(sizeof(WorkerBlock) == 256);

// Runs one slice; null in JobProc tells the workers to end.
using SliceProc = void (*)(WorkerBlock *block);

// Participants per split: the processors in use. 0 at load; set by start-up
// before the pool is built and not changed while a pool exists.
extern int16_t ThreadCount;

// The pool, all null when none exists. Written by CreateWorkerPool and
// DestroyWorkerPool on the host's thread while no worker runs a slice; read
// by the workers and by the pool's claimant.
extern HANDLE *StartEvents;         // entry k: worker k's start event
extern HANDLE *DoneEvents;          // entry k: worker k's done event
extern HANDLE *WorkerThreads;       // entry k: worker k's thread
extern WorkerBlock **WorkerBlocks;  // entry k: block k; the last is the caller's

// The current slice procedure. Written by the pool's claimant before it sets
// any start event (or null by DestroyWorkerPool); read by a worker after its
// start event, which orders the two.
extern std::atomic<SliceProc> JobProc;

// Builds the pool for n participants: 0, or -108 with everything it made
// undone when memory, an event or a thread is lacking.
int16_t CreateWorkerPool(int16_t n);

// Ends every worker and frees the pool. The caller holds the pool, so no
// split is in progress.
void DestroyWorkerPool();

// True while a pool exists.
bool PoolExists();

// The thread procedure; its parameter is the worker's index.
DWORD WINAPI WorkerMain(LPVOID parameter);

// Clean-up steps, shared by the failure paths of CreateWorkerPool and by
// DestroyWorkerPool; each tolerates entries not yet created.
void CloseWorkerEvents(int16_t n);
void TerminateWorkers(int16_t n);
void FreeWorkerBlocks();

// Waits for `count` handles, all of them, in groups small enough for
// WaitForMultipleObjects.
void WaitForAll(const HANDLE *handles, int count);

}  // namespace rowfork
