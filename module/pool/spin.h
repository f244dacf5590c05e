// The bounded spin that precedes every sleep of the hand-off. A worker is
// handed its next band within microseconds of its last when the host calls
// back to back; spinning that long costs less than a sleep and a wake, which
// on a virtual machine may mean waking a halted processor, and under Wine is a
// round trip to its server. The spin pauses at first and then gives the
// processor away now and then, so that a spinning thread never keeps the
// thread it waits for from running on a processor they share.
#pragma once

#include <cstdint>

#include "platform/win32.h"

namespace rowfork {

#if defined(__x86_64__) || defined(__i386__)
inline void CpuRelax() { __builtin_ia32_pause(); }
#elif defined(__aarch64__)
inline void CpuRelax() { asm volatile("yield" ::: "memory"); }
#else
inline void CpuRelax() { asm volatile("" ::: "memory"); }
#endif

// How long each side spins before it sleeps, in microseconds. A worker's spin
// bounds what an idle host burns after its last split; the caller's join
// covers a worker that started its band late, woken from sleep. Both are
// long: waking a thread costs tens of microseconds on real processors, and
// on virtual ones, whose host may not run a halted processor again at once,
// up to milliseconds.
inline constexpr int64_t kWorkerSpinUs = 500;
inline constexpr int64_t kJoinSpinUs = 2000;
// Where participants share processors a spinner keeps one from the others,
// and both sides soon sleep.
inline constexpr int64_t kSharedSpinUs = 100;
// Where participants share processors, the thread a spinner waits for may be
// waiting for the spinner's processor: after kPauseTurns turns (a microsecond
// or two) every kYieldEvery-th turn gives it away. Where each participant has
// a processor of its own, the thread waited for never needs the spinner's,
// and a spin only pauses: a yield is a system call, and on some virtual
// machines gives the processor back to the host for a whole time slice.
inline constexpr uint32_t kPauseTurns = 64;
inline constexpr uint32_t kYieldEvery = 8;
// The clock costs tens of nanoseconds; a pause a few to a hundred cycles.
inline constexpr uint32_t kClockEvery = 32;

struct SpinPolicy {
  int64_t budget;  // counter ticks before the spinner sleeps
  bool yields;     // whether it gives its processor away now and then
};

inline int64_t CounterNow() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

// Counter ticks in `microseconds`.
inline int64_t TicksIn(int64_t microseconds) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart * microseconds / 1'000'000;
}

// Spins until `ready()` is true (returns true) or the policy's budget has
// passed (returns false). The clock is first read a few dozen turns in, so a
// wait that ends at once never pays for it.
template <typename Ready>
bool SpinUntil(Ready ready, const SpinPolicy &policy) {
  int64_t start = 0;
  for (uint32_t turn = 1;; ++turn) {
    if (ready()) return true;
    if (policy.yields && turn > kPauseTurns && turn % kYieldEvery == 0) {
      SwitchToThread();
    } else {
      CpuRelax();
    }
    if (turn % kClockEvery == 0) {
      const int64_t now = CounterNow();
      if (turn == kClockEvery) {
        start = now;
      } else if (now - start >= policy.budget) {
        return ready();
      }
    }
  }
}

}  // namespace rowfork
