#include "host/thread_tag.h"

#if defined(_WIN32)
#include <windows.h>
// After windows.h, whose types it uses.
#include <tlhelp32.h>
#else
#include <dirent.h>
#include <unistd.h>

#include <thread>
#endif

namespace lumora {

#if defined(_WIN32)

uint64_t CurrentThreadTag() { return GetCurrentThreadId(); }

int ProcessThreadCount() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  int count = 0;
  const DWORD self = GetCurrentProcessId();
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == self) ++count;
  }
  CloseHandle(snapshot);
  return count;
}

#else

uint64_t CurrentThreadTag() { return static_cast<uint64_t>(gettid()); }

int ProcessThreadCount() {
  static const bool settled = [] {
    std::thread([] {}).join();
    return true;
  }();
  (void)settled;
  DIR *tasks = opendir("/proc/self/task");
  if (tasks == nullptr) return -1;
  int count = 0;
  while (const dirent *entry = readdir(tasks)) {
    if (entry->d_name[0] != '.') ++count;
  }
  closedir(tasks);
  return count;
}

#endif

}  // namespace lumora
