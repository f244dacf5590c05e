// Manual-reset events and the waits on them.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/win32.h"

namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

HANDLE NewEvent(BOOL set = FALSE) { return CreateEventA(nullptr, TRUE, set, nullptr); }
bool IsSet(HANDLE event) { return WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

struct Events {
  explicit Events(size_t count) : handles(count) {
    for (HANDLE &handle : handles) handle = NewEvent();
  }
  ~Events() {
    for (HANDLE handle : handles) CloseHandle(handle);
  }
  DWORD WaitForAll(DWORD ms) const {
    return WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), TRUE, ms);
  }
  std::vector<HANDLE> handles;
};

TEST(Events, SetStaysSetForEveryWaiterUntilReset) {
  HANDLE initially_set = NewEvent(TRUE);
  EXPECT_TRUE(IsSet(initially_set));
  CloseHandle(initially_set);
  EXPECT_EQ(CreateEventA(nullptr, FALSE, FALSE, nullptr), nullptr) << "auto-reset is not provided";

  HANDLE event = NewEvent();
  std::atomic<int> released{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < 8; ++i) {
    waiters.emplace_back([&] { released += WaitForSingleObject(event, INFINITE) == WAIT_OBJECT_0; });
  }
  std::this_thread::sleep_for(milliseconds(20));  // past the spin: they sleep
  EXPECT_EQ(released.load(), 0);
  SetEvent(event);
  for (std::thread &waiter : waiters) waiter.join();
  EXPECT_EQ(released.load(), 8);
  EXPECT_TRUE(IsSet(event));
  ResetEvent(event);
  EXPECT_FALSE(IsSet(event));
  CloseHandle(event);
}

// Win32 releases the threads waiting at the moment of a set.
TEST(Events, WaiterPresentAtASetIsReleasedEvenIfResetAtOnce) {
  HANDLE event = NewEvent();
  DWORD result = WAIT_FAILED;
  std::thread waiter([&] { result = WaitForSingleObject(event, 5000); });
  std::this_thread::sleep_for(milliseconds(20));
  SetEvent(event);
  ResetEvent(event);
  waiter.join();
  EXPECT_EQ(result, WAIT_OBJECT_0);
  CloseHandle(event);
}

TEST(Events, WaitAllOverMoreThan64EventsSetFromOtherThreads) {
  Events events(200);
  std::vector<std::thread> setters;
  for (int part = 0; part < 4; ++part) {
    setters.emplace_back([&, part] {  // last first, so the waiter meets clear events
      for (int i = 199 - part; i >= 0; i -= 4) {
        if (i % 16 == 0) std::this_thread::sleep_for(milliseconds(1));
        SetEvent(events.handles[static_cast<size_t>(i)]);
      }
    });
  }
  EXPECT_EQ(events.WaitForAll(INFINITE), WAIT_OBJECT_0);
  for (HANDLE event : events.handles) EXPECT_TRUE(IsSet(event));
  for (std::thread &setter : setters) setter.join();
}

// How long a wait that must time out takes.
template <class Wait>
std::chrono::nanoseconds TimedOut(Wait wait) {
  const auto start = steady_clock::now();
  EXPECT_EQ(wait(), WAIT_TIMEOUT);
  return steady_clock::now() - start;
}

TEST(Events, TimeoutsAreKept) {
  Events events(100);
  for (size_t i = 1; i < events.handles.size(); ++i) SetEvent(events.handles[i]);
  HANDLE clear = events.handles[0];
  EXPECT_LT(TimedOut([&] { return WaitForSingleObject(clear, 0); }), milliseconds(1000)) << "0 only looks";
  const auto single = TimedOut([&] { return WaitForSingleObject(clear, 60); });
  EXPECT_GE(single, milliseconds(60));
  EXPECT_LT(single, milliseconds(2000));
  EXPECT_GE(TimedOut([&] { return events.WaitForAll(60); }), milliseconds(60)) << "one of 100 clear";
  SetEvent(clear);
  EXPECT_EQ(events.WaitForAll(0), WAIT_OBJECT_0);
}

TEST(Events, BadHandlesFail) {
  HANDLE event = NewEvent(TRUE);
  struct alignas(64) {
    uint32_t words[32] = {};
  } not_an_object;
  HANDLE stray = &not_an_object;
  HANDLE misaligned = &not_an_object.words[1];
  const HANDLE with_null[] = {event, nullptr};
  EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
  EXPECT_EQ(WaitForSingleObject(stray, 0), WAIT_FAILED);
  EXPECT_EQ(WaitForSingleObject(misaligned, 0), WAIT_FAILED);
  EXPECT_EQ(WaitForMultipleObjects(2, with_null, TRUE, 0), WAIT_FAILED);
  EXPECT_EQ(WaitForMultipleObjects(1, &event, FALSE, 0), WAIT_FAILED)
      << "waiting for any one is not provided";
  EXPECT_EQ(WaitForMultipleObjects(0, &event, TRUE, 0), WAIT_FAILED);
  EXPECT_FALSE(SetEvent(nullptr));
  EXPECT_FALSE(ResetEvent(stray));
  EXPECT_FALSE(CloseHandle(stray));
  EXPECT_TRUE(CloseHandle(event));
}

// Every 16th round, a pause of about 100 us, so that some sets land while the
// waiter sleeps and others just as it goes to sleep.
void Dawdle(int round) {
  if (round % 16 != 0) return;
  const auto until = steady_clock::now() + std::chrono::microseconds(80 + (round * 7919) % 41);
  while (steady_clock::now() < until) {
  }
}

// A round takes microseconds; a wait of seconds means the wake was lost and
// only the time limit ended it.
bool PartnerAnswers(HANDLE event) {
  const auto start = steady_clock::now();
  return WaitForSingleObject(event, 3000) == WAIT_OBJECT_0 &&
         steady_clock::now() - start < milliseconds(2000);
}

// Two threads hand a token back and forth; each side resets the event it woke
// on and sets the other's, as the pool's workers and caller do. A missed
// ordering shows as a wrong token.
TEST(Events, PingPongLosesNoWake) {
  constexpr int kRounds = 20'000;
  HANDLE ping = NewEvent();
  HANDLE pong = NewEvent();
  int token = 0;  // plain: the events order every access
  std::atomic<bool> failed{false};
  std::thread other([&] {
    for (int round = 0; round < kRounds && !failed; ++round) {
      if (!PartnerAnswers(ping)) failed = true;
      ResetEvent(ping);
      EXPECT_EQ(token++, 2 * round + 1);
      Dawdle(round);
      SetEvent(pong);
    }
  });
  for (int round = 0; round < kRounds && !failed; ++round) {
    EXPECT_EQ(token++, 2 * round);
    Dawdle(round + 8);
    SetEvent(ping);
    if (!PartnerAnswers(pong)) failed = true;
    ResetEvent(pong);
  }
  other.join();
  EXPECT_FALSE(failed) << "a wake was lost";
  EXPECT_EQ(token, 2 * kRounds);
  CloseHandle(ping);
  CloseHandle(pong);
}

// A waiter may close an event the moment it sees it set, while the setter is
// still inside SetEvent (under AddressSanitizer a touch after the set shows).
TEST(Events, WaiterMayCloseAsSoonAsItIsReleased) {
  for (int round = 0; round < 2000; ++round) {
    HANDLE event = NewEvent();
    std::thread setter([event] { SetEvent(event); });
    ASSERT_EQ(WaitForSingleObject(event, INFINITE), WAIT_OBJECT_0);
    CloseHandle(event);
    setter.join();
  }
}

}  // namespace
