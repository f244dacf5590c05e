// Which processors the process and its threads run on, as the pool's
// placement asks.
#include <gtest/gtest.h>
#include <sched.h>
#include <unistd.h>

#include "platform/win32.h"

namespace {

DWORD_PTR ProcessMask() {
  DWORD_PTR process = 0;
  DWORD_PTR system = 0;
  EXPECT_TRUE(GetProcessAffinityMask(GetCurrentProcess(), &process, &system));
  EXPECT_EQ(system, process);
  return process;
}

struct Seen {
  DWORD processor = 0;
};

DWORD WINAPI NoteProcessor(LPVOID seen) {
  static_cast<Seen *>(seen)->processor = GetCurrentProcessorNumber();
  return 0;
}

TEST(Processors, TheProcessMaskIsTheFirstThreads) {
  cpu_set_t first;
  ASSERT_EQ(sched_getaffinity(getpid(), sizeof first, &first), 0);
  const DWORD_PTR mask = ProcessMask();
  EXPECT_EQ(__builtin_popcountll(mask), CPU_COUNT(&first));
  EXPECT_FALSE(GetProcessAffinityMask(nullptr, nullptr, nullptr));
}

TEST(Processors, ABoundThreadRunsOnItsProcessorAndTheOldMaskIsReturned) {
  const DWORD_PTR mask = ProcessMask();
  for (int processor = 0; processor < static_cast<int>(sizeof(DWORD_PTR) * 8); ++processor) {
    if (((mask >> processor) & 1) == 0) continue;
    Seen seen;
    HANDLE thread = CreateThread(nullptr, 0, NoteProcessor, &seen, CREATE_SUSPENDED, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(SetThreadAffinityMask(thread, DWORD_PTR{1} << processor), mask) << processor;
    ResumeThread(thread);
    EXPECT_EQ(WaitForSingleObject(thread, 10'000), WAIT_OBJECT_0);
    EXPECT_EQ(seen.processor, static_cast<DWORD>(processor));
    CloseHandle(thread);
  }
}

TEST(Processors, BadMasksAndHandlesAreRefused) {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE thread = CreateThread(nullptr, 0, NoteProcessor, nullptr, CREATE_SUSPENDED, nullptr);
  EXPECT_EQ(SetThreadAffinityMask(thread, 0), 0u);
  EXPECT_EQ(SetThreadAffinityMask(event, 1), 0u);
  EXPECT_EQ(SetThreadAffinityMask(nullptr, 1), 0u);
  CloseHandle(thread);  // ends it unrun
  CloseHandle(event);
}

}  // namespace
