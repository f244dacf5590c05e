// Which processors the process and its threads run on.
#include <pthread.h>
#include <sched.h>

#include "platform/posix/affinity.h"
#include "platform/posix/thread_object.h"

namespace {

constexpr unsigned kMaskBits = sizeof(DWORD_PTR) * 8;

// The one pseudo-handle of the calling process, as Windows gives it.
const HANDLE kCurrentProcess = reinterpret_cast<HANDLE>(~uintptr_t{0});

DWORD_PTR MaskOf(const cpu_set_t &cpus) {
  DWORD_PTR mask = 0;
  for (unsigned cpu = 0; cpu < kMaskBits; ++cpu) {
    if (CPU_ISSET(cpu, &cpus)) mask |= DWORD_PTR{1} << cpu;
  }
  return mask;
}

}  // namespace

HANDLE GetCurrentProcess() { return kCurrentProcess; }

// The process's mask is the one its first thread runs with: Linux keeps a mask
// per thread only.
BOOL GetProcessAffinityMask(HANDLE process, PDWORD_PTR process_mask, PDWORD_PTR system_mask) {
  cpu_set_t cpus;
  if (process != kCurrentProcess || process_mask == nullptr || system_mask == nullptr ||
      !rowfork::posix::ReadProcessCpus(cpus)) {
    return FALSE;
  }
  *process_mask = MaskOf(cpus);
  *system_mask = *process_mask;
  return *process_mask != 0 ? TRUE : FALSE;
}

// The previous mask, or 0 when the thread or the mask is refused.
DWORD_PTR SetThreadAffinityMask(HANDLE handle, DWORD_PTR mask) {
  rowfork::posix::ThreadObject *thread = rowfork::posix::ThreadFromHandle(handle);
  if (thread == nullptr || mask == 0) return 0;
  cpu_set_t before;
  if (pthread_getaffinity_np(thread->native, sizeof before, &before) != 0) return 0;
  cpu_set_t after;
  CPU_ZERO(&after);
  for (unsigned cpu = 0; cpu < kMaskBits; ++cpu) {
    if ((mask >> cpu) & 1) CPU_SET(cpu, &after);
  }
  if (pthread_setaffinity_np(thread->native, sizeof after, &after) != 0) return 0;
  const DWORD_PTR previous = MaskOf(before);
  return previous != 0 ? previous : mask;
}

DWORD GetCurrentProcessorNumber() {
  const int cpu = sched_getcpu();
  return cpu >= 0 ? static_cast<DWORD>(cpu) : 0;
}
