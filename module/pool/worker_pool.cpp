// Building and ending the pool, and the workers' loop.
#include <cassert>
#include <new>

#include "abi/plugin_imports.h"
#include "abi/result_codes.h"
#include "pool/placement.h"
#include "pool/pool_state.h"

namespace rowfork {

std::atomic<int16_t> ThreadCount;
HANDLE *StartEvents;
HANDLE *DoneEvents;
HANDLE *WorkerThreads;
WorkerBlock **WorkerBlocks;
WorkerGate *Gates;
std::atomic<SliceProc> JobProc;

namespace {

// The gates' memory as allocated; Gates is its first cache line boundary.
HGLOBAL gate_memory;

template <typename T>
T *AllocateArray(int16_t n) {
  auto *array = static_cast<T *>(WAllocBuffer(static_cast<int32_t>(n * int32_t{sizeof(T)})));
  // Cleared at once, so that the clean-up tells created entries from the rest.
  if (array != nullptr) {
    for (int k = 0; k < n; ++k) array[k] = nullptr;
  }
  return array;
}

template <typename T>
void FreeArray(T *&array) {
  if (array != nullptr) WFreeBuffer(array);
  array = nullptr;
}

void CloseIfCreated(HANDLE &handle) {
  if (handle != nullptr) CloseHandle(handle);
  handle = nullptr;
}

// One zeroed gate per worker, each on a cache line of its own. The host's
// buffers are for what the host sees the module take; these are the module's.
bool AllocateGates(int workers) {
  const SIZE_T bytes = static_cast<SIZE_T>(workers) * sizeof(WorkerGate) + alignof(WorkerGate) - 1;
  gate_memory = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, bytes);
  if (gate_memory == nullptr) return false;
  const auto at = reinterpret_cast<uintptr_t>(gate_memory);
  const uintptr_t aligned = (at + alignof(WorkerGate) - 1) & ~uintptr_t{alignof(WorkerGate) - 1};
  Gates = reinterpret_cast<WorkerGate *>(aligned);
  for (int k = 0; k < workers; ++k) new (&Gates[k]) WorkerGate{};
  return true;
}

void FreeGates() {
  if (gate_memory != nullptr) GlobalFree(gate_memory);
  gate_memory = nullptr;
  Gates = nullptr;
}

// Only used while the workers are still suspended and have never run.
void TerminateWorkers(int16_t n) {
  if (WorkerThreads == nullptr) return;
  for (int k = 0; k < n - 1; ++k) {
    if (WorkerThreads[k] == nullptr) continue;
    TerminateThread(WorkerThreads[k], 0);
    CloseIfCreated(WorkerThreads[k]);
  }
  FreeArray(WorkerThreads);
}

void CloseWorkerEvents(int16_t n) {
  for (int k = 0; k < n - 1; ++k) {
    if (StartEvents != nullptr) CloseIfCreated(StartEvents[k]);
    if (DoneEvents != nullptr) CloseIfCreated(DoneEvents[k]);
  }
  FreeArray(StartEvents);
  FreeArray(DoneEvents);
}

void FreeWorkerBlocks() {
  if (WorkerBlocks != nullptr && WorkerBlocks[0] != nullptr) WFreeBuffer(WorkerBlocks[0]);
  FreeArray(WorkerBlocks);
}

HANDLE NewEvent() { return CreateEventA(nullptr, TRUE, FALSE, nullptr); }

// The clean-up of a pool in any state of construction: terminates workers
// that never ran, closes every event and thread handle that exists, frees
// every array and block and forgets the placement.
void UnwindWorkerPool(int16_t n) {
  TerminateWorkers(n);
  CloseWorkerEvents(n);
  FreeWorkerBlocks();
  FreeGates();
  ForgetPlacement();
}

}  // namespace

int16_t CreateWorkerPool(int16_t n) {
  ThreadCount.store(n, std::memory_order_relaxed);
  StartEvents = AllocateArray<HANDLE>(n);
  DoneEvents = AllocateArray<HANDLE>(n);
  WorkerThreads = AllocateArray<HANDLE>(n);
  WorkerBlocks = AllocateArray<WorkerBlock *>(n);
  if (StartEvents == nullptr || DoneEvents == nullptr || WorkerThreads == nullptr ||
      WorkerBlocks == nullptr) {
    UnwindWorkerPool(n);
    return kPoolLacking;
  }
  auto *blocks = static_cast<WorkerBlock *>(WAllocBuffer(n * int32_t{sizeof(WorkerBlock)}));
  if (blocks == nullptr) {
    UnwindWorkerPool(n);
    return kPoolLacking;
  }
  for (int k = 0; k < n; ++k) WorkerBlocks[k] = blocks + k;

  const int workers = n - 1;
  if (!AllocateGates(workers)) {
    UnwindWorkerPool(n);
    return kPoolLacking;
  }
  for (int k = 0; k < workers; ++k) {
    StartEvents[k] = NewEvent();
    if (StartEvents[k] != nullptr) DoneEvents[k] = NewEvent();
    if (StartEvents[k] == nullptr || DoneEvents[k] == nullptr) {
      UnwindWorkerPool(n);
      return kPoolLacking;
    }
  }
  for (int k = 0; k < workers; ++k) {
    DWORD thread_id = 0;
    WorkerThreads[k] =
        CreateThread(nullptr, 0, WorkerMain, reinterpret_cast<LPVOID>(static_cast<intptr_t>(k)),
                     CREATE_SUSPENDED, &thread_id);
    if (WorkerThreads[k] == nullptr) {
      UnwindWorkerPool(n);
      return kPoolLacking;
    }
  }

  PrepareHandOff(PlaceWorkers(n));
  // No worker runs before every event, block, gate and thread exists.
  for (int k = 0; k < workers; ++k) ResumeThread(WorkerThreads[k]);
  return kSuccess;
}

DWORD WINAPI WorkerMain(LPVOID parameter) {
  const auto k = static_cast<int>(reinterpret_cast<intptr_t>(parameter));
  for (;;) {
    AwaitStart(k);
    // Published with the start word, which AwaitStart has read.
    const SliceProc job = JobProc.load(std::memory_order_relaxed);
    if (job == nullptr) return 0;
    job(WorkerBlocks[k]);
    ReportDone(k);
  }
}

void DestroyWorkerPool() {
  const int16_t n = ThreadCount.load(std::memory_order_relaxed);
  const int workers = n - 1;
  JobProc.store(nullptr, std::memory_order_relaxed);
  WakeWorkersToEnd(workers);
  for (int first = 0; first < workers; first += MAXIMUM_WAIT_OBJECTS) {
    const int group = workers - first < MAXIMUM_WAIT_OBJECTS ? workers - first : MAXIMUM_WAIT_OBJECTS;
    [[maybe_unused]] const DWORD waited =
        WaitForMultipleObjects(static_cast<DWORD>(group), WorkerThreads + first, TRUE, INFINITE);
    assert(waited < WAIT_OBJECT_0 + static_cast<DWORD>(group));
  }
  for (int k = 0; k < workers; ++k) CloseIfCreated(WorkerThreads[k]);
  UnwindWorkerPool(n);
}

bool PoolExists() { return WorkerBlocks != nullptr; }

}  // namespace rowfork
