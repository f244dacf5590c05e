// The Linux substitute where nothing else would notice a fault: a wake-up
// lost between two threads that hand a token back and forth as the pool's
// hand-off does, a thread's end, and what the profile switch and
// ROWFORK_CPUS read as.
#include <gtest/gtest.h>
#include <sched.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "platform/win32.h"

namespace {

using std::chrono::steady_clock;

DWORD Nothing(LPVOID) { return 0; }

// Every 16th round, a pause of about 100 us, so that some sets land while the
// partner sleeps and others just as it goes to sleep.
void Dawdle(int round) {
  const auto until = steady_clock::now() + std::chrono::microseconds(80 + (round * 7919) % 41);
  while (round % 16 == 0 && steady_clock::now() < until) {
  }
}

// Each side resets the event it woke on and sets the other's, as the pool's
// workers and caller do, 20,000 times; the caller sets first. A round takes
// microseconds; a wait of seconds means the wake was lost and only the time
// limit ended it.
TEST(Events, APingPongLosesNoWake) {
  HANDLE ping = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE pong = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::atomic<bool> lost{false};
  const auto answered = [](HANDLE event) {
    const auto start = steady_clock::now();
    const bool set = WaitForSingleObject(event, 3000) == WAIT_OBJECT_0;
    ResetEvent(event);
    return set && steady_clock::now() - start < std::chrono::milliseconds(2000);
  };
  const auto play = [&](HANDLE wake, HANDLE wait_on, int offset, bool first) {
    for (int round = 0; round < 20'000 && !lost; ++round) {
      if (!first && !answered(wait_on)) lost = true;
      Dawdle(round + offset);
      SetEvent(wake);
      if (first && !answered(wait_on)) lost = true;
    }
  };
  std::thread other(play, pong, ping, 0, false);
  play(ping, pong, 8, true);
  other.join();
  EXPECT_FALSE(lost) << "a wake was lost";
  CloseHandle(ping);
  CloseHandle(pong);
}

// An ended thread is gone when the call that ends its handle returns, so
// that no thread count taken after a shut-down or a failed start-up sees it:
// joined by the close of a thread that has run, by the terminate of one
// that never ran (many rounds, as the moment is short).
TEST(Threads, EndedThreadsAreGoneWhenClosedOrTerminated) {
  const auto threads = [] {
    return std::distance(std::filesystem::directory_iterator("/proc/self/task"), {});
  };
  std::thread([] {}).join();  // a runtime's helper threads, started with the first
  const auto before = threads();
  for (int round = 0; round < 3000; ++round) {
    HANDLE ended = CreateThread(nullptr, 0, Nothing, nullptr, 0, nullptr);
    WaitForSingleObject(ended, INFINITE);
    CloseHandle(ended);
    ASSERT_EQ(threads(), before) << "closed, round " << round;
    HANDLE suspended = CreateThread(nullptr, 0, Nothing, nullptr, CREATE_SUSPENDED, nullptr);
    TerminateThread(suspended, 0);
    ASSERT_EQ(threads(), before) << "terminated, round " << round;
    CloseHandle(suspended);
  }
}

// The switch as the module asks for it, by a bare file name: from WINDIR,
// with or without a final slash, or else from the current directory.
TEST(Profile, TheSwitchReadsAsWindowsReadsIt) {
  namespace fs = std::filesystem;
  std::string pattern = (fs::temp_directory_path() / "rowfork-profile-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const fs::path directory = pattern, cwd_before = fs::current_path();
  const auto read = [] { return GetPrivateProfileIntA("Lumora", "Multithreading", 99, "Lumora30.ini"); };
  const struct {
    const char *text;
    UINT value;
  } cases[] = {{"[Lumora]\nMultithreading=yes\n", 0},  // no number
               {"[Lumora]\nMultithreading=  1 ; on\n", 1},
               {"[Lumora]\nMultithreading=-1\n", 0xFFFFFFFFu},
               {"[Lumora]\nMultithreading=\"1\"\n", 1},
               {"[Lumora]\r\nMultithreading=\r\n", 99},
               {"[Lumora]\nMultithreading=0x1F\n", 31},
               {"[Lumora]\nMultithreading=0xaf\n", 175},
               {"; [Lumora]\n[lUMORA]\n;Multithreading=0\n  ; Multithreading=0\nMULTITHREADING = 6\n", 6},
               {"[Lumora]\nMultithreading=9\nMultithreading=0\n", 9},  // the first key counts
               {"Multithreading=0\n[Lumora]\n", 99},
               {"[Lumora]\nMultithreadingX=0\nMultithreading\n", 99},
               {"\xEF\xBB\xBF[Lumora]\nMultithreading=1", 1}};  // a UTF-8 mark, no final line end
  setenv("WINDIR", directory.c_str(), 1);
  for (const auto &c : cases) {
    std::ofstream(directory / "Lumora30.ini", std::ios::binary) << c.text;
    EXPECT_EQ(read(), c.value) << c.text;
  }
  std::ofstream(directory / "Lumora30.ini") << "[Lumora]\nMultithreading=0\n";
  setenv("WINDIR", (directory / "").c_str(), 1);
  EXPECT_EQ(read(), 0u);
  unsetenv("WINDIR");
  EXPECT_EQ(read(), 99u) << "not in the current directory";
  fs::current_path(directory);
  EXPECT_EQ(read(), 0u);
  fs::current_path(cwd_before);
  fs::remove_all(directory);
}

TEST(System, ProcessorsCountedFromRowforkCpusOrElseTheProcessMask) {
  cpu_set_t cpus;
  ASSERT_EQ(sched_getaffinity(0, sizeof cpus, &cpus), 0);
  const auto processors = [](const char *text) {
    setenv("ROWFORK_CPUS", text, 1);
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    return static_cast<int>(info.dwNumberOfProcessors);
  };
  EXPECT_EQ(processors("007"), 7);
  for (const char *text : {"0", "", "-4", "+4", "4x", " 4", "99999999999"})
    EXPECT_EQ(processors(text), CPU_COUNT(&cpus)) << "ROWFORK_CPUS=\"" << text << "\"";
  // A process held to one processor sees that one.
  cpu_set_t one;
  CPU_ZERO(&one);
  const auto processor = static_cast<size_t>(sched_getcpu());
  CPU_SET(processor, &one);
  ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
  DWORD_PTR process = 0, system = 0;
  EXPECT_TRUE(GetProcessAffinityMask(GetCurrentProcess(), &process, &system));
  EXPECT_EQ(process, DWORD_PTR{1} << processor);
  EXPECT_EQ(processors(""), 1);
  sched_setaffinity(0, sizeof cpus, &cpus);
  unsetenv("ROWFORK_CPUS");
}

}  // namespace
