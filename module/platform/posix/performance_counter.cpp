// The performance counter: the monotonic clock in nanoseconds.
#include "platform/posix/deadline.h"

BOOL QueryPerformanceCounter(LARGE_INTEGER *count) {
  if (count == nullptr) return FALSE;
  count->QuadPart = rowfork::posix::MonotonicNs();
  return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER *frequency) {
  if (frequency == nullptr) return FALSE;
  frequency->QuadPart = 1'000'000'000;
  return TRUE;
}
