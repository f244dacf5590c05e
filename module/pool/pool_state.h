// The pool's state, for the pool's own files (and tests that look at it).
// Everything is null or 0 while no pool exists. The pool is built and ended
// by a thread that holds it (PoolBusy), so no split reads it meanwhile; the
// workers read it only between being started and reporting done.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/win32.h"
#include "pool/handoff.h"
#include "pool/pool.h"

namespace rowfork {

// Participants per split. Set by CreateWorkerPool; read by the pool's
// claimant.
extern std::atomic<int16_t> ThreadCount;

// Entry k belongs to worker k (0 .. ThreadCount - 2); written while the pool
// is built and ended.
extern HANDLE *StartEvents;         // worker k sleeps on it; shut-down sets it to end the worker
extern HANDLE *DoneEvents;          // set by worker k only for a caller that sleeps on it
extern HANDLE *WorkerThreads;       //
extern WorkerBlock **WorkerBlocks;  // entry k: block k; the last is the caller's
extern WorkerGate *Gates;           // worker k's start and done words (handoff.h)

// The current slice procedure; null tells the workers to end. Written by the
// claimant before it advances any start word, which publishes it.
extern std::atomic<SliceProc> JobProc;

// A variable alone on its cache line: nothing the workers read while they
// spin may share a line with what the caller writes at every split.
template <typename T>
struct alignas(64) OwnCacheLine : T {};

// Set while a split, or a build or an end of the pool, holds the pool; taken
// with one atomic exchange, so two threads never both hold it. Written twice
// by every split.
extern OwnCacheLine<std::atomic<uint8_t>> PoolBusy;

// The thread procedure; its parameter is the worker's index.
DWORD WINAPI WorkerMain(LPVOID parameter);

}  // namespace rowfork
