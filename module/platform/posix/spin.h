// The bounded spin that precedes every blocking wait. A pool worker is woken
// again within microseconds of its last slice; spinning that long costs less
// than a futex sleep and wake, and far less than waking a halted virtual CPU.
#pragma once

#include <sched.h>

#include <algorithm>
#include <cstdint>

#include "platform/posix/deadline.h"

namespace rowfork::posix {

#if defined(__x86_64__) || defined(__i386__)
inline void CpuRelax() { __builtin_ia32_pause(); }
#elif defined(__aarch64__)
inline void CpuRelax() { asm volatile("yield" ::: "memory"); }
#else
inline void CpuRelax() { asm volatile("" ::: "memory"); }
#endif

inline constexpr int64_t kSpinBudgetNs = 100'000;
// Past this, every kYieldEvery-th turn gives the processor away, so a waiter
// that shares its processor with the thread it waits for lets that thread run.
inline constexpr int64_t kYieldAfterNs = 2'000;
inline constexpr uint32_t kYieldEvery = 8;
// Reading the clock costs tens of nanoseconds; a pause costs a few to a
// hundred cycles, so the clock is read once every few dozen turns.
inline constexpr uint32_t kClockEvery = 32;

// Spins until `done()` is true (returns true) or the spin budget or the
// deadline runs out (returns false).
template <class Done>
bool SpinUntil(Done done, const Deadline &deadline) {
  const int64_t budget = std::min(kSpinBudgetNs, deadline.RemainingNs());
  if (budget <= 0) return false;
  const int64_t start = MonotonicNs();
  int64_t elapsed = 0;
  for (uint32_t turn = 1;; ++turn) {
    if (elapsed >= kYieldAfterNs && turn % kYieldEvery == 0) {
      sched_yield();
    } else {
      CpuRelax();
    }
    if (done()) return true;
    if (turn % kClockEvery == 0) {
      elapsed = MonotonicNs() - start;
      if (elapsed >= budget) return false;
    }
  }
}

}  // namespace rowfork::posix
