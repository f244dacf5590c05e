// The processor time the whole process has used, on either target.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#else
#include <time.h>
#endif

namespace rowfork_bench {

inline double ProcessCpuSeconds() {
#if defined(_WIN32)
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto seconds = [](const FILETIME &time) {
    return double((uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime) * 1e-7;
  };
  return seconds(kernel) + seconds(user);
#else
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
#endif
}

}  // namespace rowfork_bench
