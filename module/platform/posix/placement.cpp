// Worker placement on Linux (see platform/win32.h for why). Worker k starts on
// the (k + 1)th processor of the affinity mask, and the first is left spare
// for the calling thread. When a split finds the caller on a worker's
// processor, that worker moves to the spare one and the caller's becomes the
// spare: a sleeping worker moves for the price of one system call, where
// moving the running caller would cost a migration at the start of every such
// split, and the host's thread keeps the processors the host gave it.
#include <pthread.h>
#include <sched.h>

#include <atomic>
#include <cstdint>

#include "platform/posix/affinity.h"
#include "platform/posix/thread_object.h"
#include "platform/win32.h"

namespace {

// Written while the pool is built (PlaceWorker) and destroyed
// (ForgetWorkerPlacement), by the thread doing so, and by MakeWayForCaller,
// which only the pool's claimant calls; `binding` publishes the rest.
pthread_t worker_threads[CPU_SETSIZE];
int16_t worker_on[CPU_SETSIZE];  // the worker bound to each processor, or -1
int spare_cpu = -1;
std::atomic<bool> binding{false};

cpu_set_t Only(int cpu) {
  cpu_set_t mask;
  CPU_ZERO(&mask);
  CPU_SET(static_cast<size_t>(cpu), &mask);
  return mask;
}

void ClearWorkerPlaces() {
  for (int16_t &worker : worker_on) worker = -1;
}

}  // namespace

namespace rowfork {

void PlaceWorker(HANDLE thread, int worker, int participants) {
  posix::ThreadObject *object = posix::ThreadFromHandle(thread);
  cpu_set_t allowed;
  if (object == nullptr || worker < 0 || !posix::ReadAllowedCpus(allowed)) return;
  if (participants > CPU_COUNT(&allowed)) return;  // oversubscribed: leave it to the scheduler
  const int cpu = posix::NthCpu(allowed, worker + 1);
  if (cpu < 0) return;
  const cpu_set_t own = Only(cpu);
  if (pthread_setaffinity_np(object->native, sizeof own, &own) != 0) return;
  if (!binding.load(std::memory_order_relaxed)) {
    ClearWorkerPlaces();
    spare_cpu = posix::NthCpu(allowed, 0);
  }
  worker_threads[worker] = object->native;
  worker_on[cpu] = static_cast<int16_t>(worker);
  binding.store(true, std::memory_order_release);
}

void ForgetWorkerPlacement() {
  binding.store(false, std::memory_order_relaxed);
  ClearWorkerPlaces();
  spare_cpu = -1;
}

void MakeWayForCaller() {
  if (!binding.load(std::memory_order_acquire)) return;
  const int cpu = sched_getcpu();
  if (cpu < 0 || cpu >= CPU_SETSIZE || spare_cpu < 0) return;
  const int16_t worker = worker_on[cpu];
  if (worker < 0) return;
  const cpu_set_t spare = Only(spare_cpu);
  if (pthread_setaffinity_np(worker_threads[worker], sizeof spare, &spare) != 0) return;
  worker_on[spare_cpu] = worker;
  worker_on[cpu] = -1;
  spare_cpu = cpu;
}

}  // namespace rowfork
