// Worker placement on Linux (see platform/win32.h for why). Worker k runs on
// the (k + 1)th processor of the affinity mask; the first is left to the
// calling thread.
#include <pthread.h>
#include <sched.h>

#include <atomic>

#include "platform/posix/affinity.h"
#include "platform/posix/thread_object.h"
#include "platform/win32.h"

namespace {

// Written while the pool is built (PlaceWorker) and destroyed
// (ForgetWorkerPlacement), by the thread doing so; read by splits, which run
// only between the two. `binding` publishes `worker_cpus`.
cpu_set_t worker_cpus;
std::atomic<bool> binding{false};

// The caller's own mask while a split keeps it off the workers' processors.
struct CallerPlacement {
  bool moved = false;
  cpu_set_t saved;
};
thread_local CallerPlacement caller;

}  // namespace

namespace rowfork {

void PlaceWorker(HANDLE thread, int worker, int participants) {
  posix::ThreadObject *object = posix::ThreadFromHandle(thread);
  cpu_set_t allowed;
  if (object == nullptr || worker < 0 || !posix::ReadAllowedCpus(allowed)) return;
  if (participants > CPU_COUNT(&allowed)) return;  // oversubscribed: leave it to the scheduler
  const int cpu = posix::NthCpu(allowed, worker + 1);
  if (cpu < 0) return;
  cpu_set_t own;
  CPU_ZERO(&own);
  CPU_SET(static_cast<size_t>(cpu), &own);
  if (pthread_setaffinity_np(object->native, sizeof own, &own) != 0) return;
  if (!binding.load(std::memory_order_relaxed)) CPU_ZERO(&worker_cpus);
  CPU_SET(static_cast<size_t>(cpu), &worker_cpus);
  binding.store(true, std::memory_order_release);
}

void ForgetWorkerPlacement() {
  binding.store(false, std::memory_order_relaxed);
  CPU_ZERO(&worker_cpus);
}

void KeepCallerOffWorkers() {
  if (!binding.load(std::memory_order_acquire)) return;
  const int cpu = sched_getcpu();
  if (cpu < 0 || !CPU_ISSET(static_cast<size_t>(cpu), &worker_cpus) || caller.moved) return;
  cpu_set_t saved;
  if (sched_getaffinity(0, sizeof saved, &saved) != 0) return;
  cpu_set_t elsewhere;
  CPU_XOR(&elsewhere, &saved, &worker_cpus);
  CPU_AND(&elsewhere, &elsewhere, &saved);
  if (CPU_COUNT(&elsewhere) == 0 || sched_setaffinity(0, sizeof elsewhere, &elsewhere) != 0) return;
  caller.saved = saved;
  caller.moved = true;
}

void ReturnCallerPlacement() {
  if (!caller.moved) return;
  sched_setaffinity(0, sizeof caller.saved, &caller.saved);
  caller.moved = false;
}

}  // namespace rowfork
