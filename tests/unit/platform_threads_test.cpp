// Threads: suspension, exit codes, waits on threads, and that no OS thread
// outlives its handle.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/posix/test_hooks.h"
#include "platform/win32.h"
#include "platform_test_support.h"

namespace {

using rowfork::platform_testing::Eventually;
using rowfork::platform_testing::ProcessThreads;
using rowfork::platform_testing::ThreadBaseline;
using rowfork::test_hooks::OpenKernelObjects;

constexpr DWORD kStillActive = 259;

DWORD CountRun(LPVOID runs) {
  ++*static_cast<std::atomic<int> *>(runs);
  return 41;
}

DWORD ExitCode(HANDLE thread) {
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(thread, &code));
  return code;
}

TEST(Threads, SuspendedThreadRunsOnlyAfterResume) {
  std::atomic<int> runs{0};
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 64 * 1024, CountRun, &runs, CREATE_SUSPENDED, &id);
  ASSERT_NE(thread, nullptr);
  EXPECT_NE(id, 0u);
  EXPECT_EQ(WaitForSingleObject(thread, 50), WAIT_TIMEOUT) << "not signalled before it ends";
  EXPECT_EQ(runs.load(), 0);
  EXPECT_EQ(ExitCode(thread), kStillActive);

  EXPECT_EQ(ResumeThread(thread), 1u);
  EXPECT_EQ(WaitForSingleObject(thread, 10'000), WAIT_OBJECT_0);
  EXPECT_EQ(runs.load(), 1);
  EXPECT_EQ(ExitCode(thread), 41u);
  EXPECT_EQ(ResumeThread(thread), 0u) << "no longer suspended";
  EXPECT_TRUE(CloseHandle(thread));
}

TEST(Threads, WaitAllOnMoreThan64Threads) {
  std::atomic<int> runs{0};
  std::vector<HANDLE> threads;
  for (int i = 0; i < 100; ++i) threads.push_back(CreateThread(nullptr, 0, CountRun, &runs, 0, nullptr));
  EXPECT_EQ(WaitForMultipleObjects(100, threads.data(), TRUE, 10'000), WAIT_OBJECT_0);
  EXPECT_EQ(runs.load(), 100);
  for (HANDLE thread : threads) CloseHandle(thread);
}

// The pool's clean-up after a failed start: its suspended workers end without
// running, and nothing of them is left once terminated and closed. Closing
// one that was never resumed ends it too: nobody could resume it any more.
TEST(Threads, SuspendedThreadsEndWithoutRunningAndLeaveNothing) {
  const int threads_before = ThreadBaseline();
  const int objects_before = OpenKernelObjects();
  std::atomic<int> runs{0};
  std::vector<HANDLE> threads;
  for (int i = 0; i < 16; ++i)
    threads.push_back(CreateThread(nullptr, 0, CountRun, &runs, CREATE_SUSPENDED, nullptr));
  EXPECT_EQ(ProcessThreads(), threads_before + 16);
  EXPECT_EQ(OpenKernelObjects(), objects_before + 16);
  for (size_t i = 0; i < threads.size(); i += 2) {
    EXPECT_TRUE(TerminateThread(threads[i], 5));
    EXPECT_EQ(ExitCode(threads[i]), 5u);
    EXPECT_EQ(WaitForSingleObject(threads[i], 0), WAIT_OBJECT_0);
    EXPECT_EQ(ResumeThread(threads[i]), 0u) << "an ended thread is not resumed";
  }
  for (HANDLE thread : threads) EXPECT_TRUE(CloseHandle(thread));
  EXPECT_EQ(runs.load(), 0);
  EXPECT_EQ(ProcessThreads(), threads_before) << "no OS thread left behind";
  EXPECT_EQ(OpenKernelObjects(), objects_before);
}

// An ended thread is joined by its close, a never-run one by its terminate:
// its OS thread is gone when the call returns, not a moment later (many
// rounds, as the moment is short).
TEST(Threads, EndedThreadsAreGoneWhenClosedOrTerminated) {
  const int threads_before = ThreadBaseline();
  std::atomic<int> runs{0};
  for (int round = 0; round < 3000; ++round) {
    HANDLE ended = CreateThread(nullptr, 0, CountRun, &runs, 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(ended, 10'000), WAIT_OBJECT_0);
    CloseHandle(ended);
    ASSERT_EQ(ProcessThreads(), threads_before) << "closed, round " << round;
    HANDLE suspended = CreateThread(nullptr, 0, CountRun, &runs, CREATE_SUSPENDED, nullptr);
    TerminateThread(suspended, 0);
    ASSERT_EQ(ProcessThreads(), threads_before) << "terminated, round " << round;
    CloseHandle(suspended);
  }
  EXPECT_EQ(runs.load(), 3000);
}

// Outlives the test: the detached thread below may look at it last.
std::atomic<bool> may_finish{false};

DWORD WaitForPermission(LPVOID) {
  while (!may_finish) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return 0;
}

TEST(Threads, ClosingARunningThreadLetsItFinishAndLeave) {
  may_finish = false;
  const int threads_before = ThreadBaseline();
  const int objects_before = OpenKernelObjects();
  HANDLE thread = CreateThread(nullptr, 0, WaitForPermission, nullptr, 0, nullptr);
  EXPECT_EQ(WaitForSingleObject(thread, 20), WAIT_TIMEOUT);
  EXPECT_EQ(ExitCode(thread), kStillActive);
  EXPECT_TRUE(CloseHandle(thread)) << "while it still runs";
  EXPECT_EQ(OpenKernelObjects(), objects_before);
  EXPECT_EQ(ProcessThreads(), threads_before + 1);
  may_finish = true;
  EXPECT_TRUE(Eventually([&] { return ProcessThreads() == threads_before; }));
}

TEST(Threads, BadHandlesFail) {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  DWORD code = 0;
  EXPECT_EQ(ResumeThread(event), 0xFFFFFFFFu);
  EXPECT_FALSE(TerminateThread(event, 0));
  EXPECT_FALSE(GetExitCodeThread(event, &code));
  EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
  CloseHandle(event);
}

// Ending a thread that runs cannot be done safely; it must not pass silently.
TEST(ThreadsDeathTest, TerminatingAResumedThreadAborts) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        may_finish = false;
        TerminateThread(CreateThread(nullptr, 0, WaitForPermission, nullptr, 0, nullptr), 0);
      },
      "TerminateThread on a thread that was resumed");
}

}  // namespace
