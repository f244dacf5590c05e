// The hand-off of a split between the caller and each worker, the same on
// both targets. Worker k has two words, each on a cache line of its own:
//
//   start  kIdle, or kHanded once the caller has handed worker k a split,
//          or kAsleep while the worker sleeps (or is about to) on its start
//          event
//   done   kIdle, or kHanded once worker k has finished its slice, or
//          kAsleep while the caller sleeps (or is about to) on its done event
//
// The side that waits for kHanded spins on the word first; when its spin runs
// out it turns kIdle into kAsleep with a compare-exchange, and sleeps only if
// that succeeded. The side that hands writes kHanded with an exchange, and
// wakes the sleeper only when the value it replaced was kAsleep. A sleeper
// sleeps on the word itself where the system can (WaitOnAddress, from
// Windows 8 on), else on the word's event.
// The waiter puts the word back to kIdle once it has seen kHanded, before it
// does anything that lets the other side hand again; so every word is written
// by one side at a time, and the line is where the next writer wants it. The
// exchange also publishes what was written before it (the blocks and JobProc;
// a slice's results) to the side that sees kHanded.
#pragma once

#include <atomic>
#include <cstdint>

namespace rowfork {

inline constexpr uint32_t kIdle = 0;
inline constexpr uint32_t kHanded = 1;
inline constexpr uint32_t kAsleep = 2;

struct alignas(64) WorkerGate {
  std::atomic<uint32_t> start;
  alignas(64) std::atomic<uint32_t> done;
};

// Sets how both sides spin, for a pool whose every participant has a
// processor of its own (placed) or not, and how they sleep. Called while the
// pool is built.
void PrepareHandOff(bool placed);

// ---- the caller ----

// Whether one of workers 0 .. workers - 1 sleeps (or is about to).
bool AnyWorkerAsleep(int workers);

// Hands a split to workers 0 .. workers - 1.
void StartWorkers(int workers);

// Returns when workers 0 .. workers - 1 have all finished their slices.
void JoinWorkers(int workers);

// Shut-down: hands every worker a split and wakes it, setting its start event
// too, so that each worker wakes, spinning or asleep, and finds no JobProc.
void WakeWorkersToEnd(int workers);

// ---- worker k ----

// Returns once the caller has handed worker k a split.
void AwaitStart(int k);

// Reports worker k's slice finished.
void ReportDone(int k);

}  // namespace rowfork
