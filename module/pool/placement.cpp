#include "pool/placement.h"

#include <cstdint>

#include "pool/pool_state.h"

namespace rowfork {
namespace {

constexpr int kMaskBits = sizeof(DWORD_PTR) * 8;

// Written while the pool is built or ended (no split runs then) and by
// MakeWayForCaller, which only the pool's claimant calls.
int bound[kMaskBits];  // per processor: 1 + the worker bound to it, or 0
int spare = -1;        // the processor no worker holds; -1: nothing is placed
int splits_unchecked = 0;  // splits since the caller's processor was asked

DWORD_PTR Only(int processor) { return DWORD_PTR{1} << processor; }

// The processor of the nth (from 0) bit of `mask`, or -1.
int NthProcessor(DWORD_PTR mask, int nth) {
  for (int processor = 0; processor < kMaskBits; ++processor) {
    if (((mask >> processor) & 1) != 0 && nth-- == 0) return processor;
  }
  return -1;
}

}  // namespace

void ForgetPlacement() {
  for (int &worker : bound) worker = 0;
  spare = -1;
  splits_unchecked = 0;
}

bool PlaceWorkers(int participants) {
  ForgetPlacement();
  DWORD_PTR process = 0;
  DWORD_PTR system = 0;
  if (!GetProcessAffinityMask(GetCurrentProcess(), &process, &system)) return false;
  // Oversubscribed: no processor is left for each.
  if (NthProcessor(process, participants - 1) < 0) return false;
  bool all_bound = true;
  for (int k = 0; k < participants - 1; ++k) {
    const int processor = NthProcessor(process, k + 1);
    if (SetThreadAffinityMask(WorkerThreads[k], Only(processor)) != 0) {
      bound[processor] = k + 1;
    } else {
      all_bound = false;  // left to the scheduler
    }
  }
  spare = NthProcessor(process, 0);
  return all_bound;
}

void MakeWayForCaller(bool a_worker_sleeps) {
  if (spare < 0) return;
  if (!a_worker_sleeps && ++splits_unchecked < kCheckCallerEvery) return;
  splits_unchecked = 0;
  const DWORD processor = GetCurrentProcessorNumber();
  if (processor >= kMaskBits) return;
  const int worker = bound[processor] - 1;
  if (worker < 0 || SetThreadAffinityMask(WorkerThreads[worker], Only(spare)) == 0) return;
  bound[spare] = worker + 1;
  bound[processor] = 0;
  spare = static_cast<int>(processor);
}

int WorkerProcessor(int k) {
  for (int processor = 0; processor < kMaskBits; ++processor) {
    if (bound[processor] == k + 1) return processor;
  }
  return -1;
}

}  // namespace rowfork
