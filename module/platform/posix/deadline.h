// Time limits of the waits, on the monotonic clock, so that a change of the
// wall clock neither shortens nor stretches a wait.
#pragma once

#include <time.h>

#include <cstdint>
#include <limits>

#include "platform/posix/win32_subset.h"

namespace rowfork::posix {

inline int64_t MonotonicNs() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

// The end of a wait given in milliseconds as Win32 gives it: INFINITE never
// ends, 0 only looks.
class Deadline {
 public:
  explicit Deadline(DWORD milliseconds)
      : infinite_(milliseconds == INFINITE),
        at_ns_(infinite_ || milliseconds == 0 ? 0 : MonotonicNs() + int64_t{milliseconds} * 1'000'000) {}

  bool Infinite() const { return infinite_; }

  // Nanoseconds left, 0 once passed; the largest value when infinite.
  int64_t RemainingNs() const {
    if (infinite_) return std::numeric_limits<int64_t>::max();
    const int64_t left = at_ns_ - MonotonicNs();
    return left > 0 ? left : 0;
  }

 private:
  bool infinite_;
  int64_t at_ns_;  // meaningless when infinite_
};

}  // namespace rowfork::posix
