// The processor time the process's threads have used, on either target.
#pragma once

#if defined(_WIN32)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#else
#include <time.h>
#endif

namespace rowfork_bench {

#if defined(_WIN32)

// Under Wine, whose process times move in steps of 10 ms, the Linux kernel's
// own account of each thread of this process, read through Wine's drive Z:
// (the process is a Linux process there). Wine's server opens files for its
// clients, so /proc/self would be the server: the process's own number is
// asked of Linux directly, which only 64-bit code under Wine on Linux may do.
// The main thread (Linux numbers it as the process) is left out: it only
// measures. Negative where there is no such account.
inline double WineThreadsCpuSeconds() {
#if defined(__x86_64__)
  using Version = const char *(*)();
  const auto wine = reinterpret_cast<Version>(
      reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")));
  if (wine == nullptr) return -1;
  long process = 0;
  asm volatile("syscall" : "=a"(process) : "a"(39L) : "rcx", "r11", "memory");  // Linux's getpid
  const std::string task = "Z:\\proc\\" + std::to_string(process) + "\\task\\";
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((task + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return -1;
  double total = 0;
  do {
    const long thread = std::strtol(found.cFileName, nullptr, 10);
    if (thread <= 0 || thread == process) continue;
    if (FILE *schedstat = std::fopen((task + found.cFileName + "\\schedstat").c_str(), "r")) {
      unsigned long long on_processor_ns = 0;
      if (std::fscanf(schedstat, "%llu", &on_processor_ns) == 1) total += double(on_processor_ns) * 1e-9;
      std::fclose(schedstat);
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return total;
#else
  return -1;
#endif
}

inline double ProcessCpuSeconds() {
  if (const double wine = WineThreadsCpuSeconds(); wine >= 0) return wine;
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto seconds = [](const FILETIME &time) {
    return double((uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime) * 1e-7;
  };
  return seconds(kernel) + seconds(user);
}

#else

inline double ProcessCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

#endif

}  // namespace rowfork_bench
