#include "pool/worker_pool.h"

#include <cassert>

#include "shell/plugin_imports.h"
#include "shell/result_codes.h"

namespace rowfork {

int16_t ThreadCount;
HANDLE *StartEvents;
HANDLE *DoneEvents;
HANDLE *WorkerThreads;
WorkerBlock **WorkerBlocks;
std::atomic<SliceProc> JobProc;

namespace {

template <typename T>
T *AllocateArray(int16_t n) {
  return static_cast<T *>(WAllocBuffer(static_cast<int32_t>(n * int32_t{sizeof(T)})));
}

template <typename T>
void FreeArray(T *&array) {
  if (array != nullptr) WFreeBuffer(array);
  array = nullptr;
}

template <typename T>
void ClearArray(T *array, int16_t n) {
  for (int k = 0; k < n; ++k) array[k] = nullptr;
}

void CloseIfCreated(HANDLE &handle) {
  if (handle != nullptr) CloseHandle(handle);
  handle = nullptr;
}

}  // namespace

int16_t CreateWorkerPool(int16_t n) {
  StartEvents = AllocateArray<HANDLE>(n);
  DoneEvents = AllocateArray<HANDLE>(n);
  WorkerThreads = AllocateArray<HANDLE>(n);
  WorkerBlocks = AllocateArray<WorkerBlock *>(n);
  if (StartEvents == nullptr || DoneEvents == nullptr || WorkerThreads == nullptr ||
      WorkerBlocks == nullptr) {
    FreeArray(StartEvents);
    FreeArray(DoneEvents);
    FreeArray(WorkerThreads);
    FreeArray(WorkerBlocks);
    return kPoolLacking;
  }
  // Cleared at once, so that clean-up tells created entries from the rest.
  ClearArray(StartEvents, n);
  ClearArray(DoneEvents, n);
  ClearArray(WorkerThreads, n);
  ClearArray(WorkerBlocks, n);

  auto *blocks = static_cast<WorkerBlock *>(WAllocBuffer(n * int32_t{sizeof(WorkerBlock)}));
  if (blocks == nullptr) {
    FreeArray(StartEvents);
    FreeArray(DoneEvents);
    FreeArray(WorkerThreads);
    FreeArray(WorkerBlocks);
    return kPoolLacking;
  }
  for (int k = 0; k < n; ++k) WorkerBlocks[k] = blocks + k;

  const int workers = n - 1;
  for (int k = 0; k < workers; ++k) {
    StartEvents[k] = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (StartEvents[k] != nullptr) DoneEvents[k] = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (StartEvents[k] == nullptr || DoneEvents[k] == nullptr) {
      CloseWorkerEvents(n);
      FreeArray(WorkerThreads);
      FreeWorkerBlocks();
      return kPoolLacking;
    }
  }

  for (int k = 0; k < workers; ++k) {
    DWORD thread_id = 0;
    WorkerThreads[k] =
        CreateThread(nullptr, 0, WorkerMain, reinterpret_cast<LPVOID>(static_cast<intptr_t>(k)),
                     CREATE_SUSPENDED, &thread_id);
    if (WorkerThreads[k] == nullptr) {
      TerminateWorkers(n);
      CloseWorkerEvents(n);
      FreeWorkerBlocks();
      return kPoolLacking;
    }
    PlaceWorker(WorkerThreads[k], k, n);
  }

  // No worker runs before every event, block and thread exists.
  for (int k = 0; k < workers; ++k) ResumeThread(WorkerThreads[k]);
  return kSuccess;
}

DWORD WINAPI WorkerMain(LPVOID parameter) {
  const auto k = static_cast<int>(reinterpret_cast<intptr_t>(parameter));
  for (;;) {
    WaitForSingleObject(StartEvents[k], INFINITE);
    // Reset before running, so that one set runs exactly one slice.
    ResetEvent(StartEvents[k]);
    const SliceProc job = JobProc.load(std::memory_order_relaxed);
    if (job == nullptr) return 0;
    job(WorkerBlocks[k]);
    SetEvent(DoneEvents[k]);
  }
}

void DestroyWorkerPool() {
  const int workers = ThreadCount - 1;
  JobProc.store(nullptr, std::memory_order_relaxed);
  for (int k = 0; k < workers; ++k) SetEvent(StartEvents[k]);
  WaitForAll(WorkerThreads, workers);
  for (int k = 0; k < workers; ++k) CloseIfCreated(WorkerThreads[k]);
  FreeArray(WorkerThreads);
  CloseWorkerEvents(ThreadCount);
  FreeWorkerBlocks();
  ForgetWorkerPlacement();
}

bool PoolExists() { return WorkerBlocks != nullptr; }

void CloseWorkerEvents(int16_t n) {
  for (int k = 0; k < n - 1; ++k) {
    CloseIfCreated(StartEvents[k]);
    CloseIfCreated(DoneEvents[k]);
  }
  FreeArray(StartEvents);
  FreeArray(DoneEvents);
}

// Only used while the workers are still suspended and have never run.
void TerminateWorkers(int16_t n) {
  for (int k = 0; k < n - 1; ++k) {
    if (WorkerThreads[k] == nullptr) continue;
    TerminateThread(WorkerThreads[k], 0);
    CloseIfCreated(WorkerThreads[k]);
  }
  FreeArray(WorkerThreads);
}

void FreeWorkerBlocks() {
  if (WorkerBlocks != nullptr && WorkerBlocks[0] != nullptr) WFreeBuffer(WorkerBlocks[0]);
  FreeArray(WorkerBlocks);
}

void WaitForAll(const HANDLE *handles, int count) {
  for (int first = 0; first < count; first += MAXIMUM_WAIT_OBJECTS) {
    const int group = count - first < MAXIMUM_WAIT_OBJECTS ? count - first : MAXIMUM_WAIT_OBJECTS;
    [[maybe_unused]] const DWORD waited =
        WaitForMultipleObjects(static_cast<DWORD>(group), handles + first, TRUE, INFINITE);
    assert(waited < WAIT_OBJECT_0 + static_cast<DWORD>(group));
  }
}

}  // namespace rowfork
