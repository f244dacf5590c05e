// Start-up with each of its resources lacking in turn: every host buffer,
// every event and every thread it asks for. Each failure reports -108, leaves
// no buffer, kernel object or thread behind and replaces no slot, and the next
// start-up succeeds.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "host/host_suites.h"
#include "host/plugin_support.h"
#include "host/thread_tag.h"
#include "platform/posix/test_hooks.h"
#include "pool/pool.h"
#include "shell/lifecycle.h"

namespace rowfork::testing {
namespace {

using test_hooks::CallsMade;
using test_hooks::Failing;

// What one start-up asks for, of each kind.
struct Demand {
  int buffers = 0;
  int events = 0;
  int threads = 0;
};

class StartUpFaults : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    setenv("ROWFORK_CPUS", std::to_string(GetParam()).c_str(), 1);
    setenv("WINDIR", "/nonexistent", 1);  // no profile: switched on
    host_slot_ = suites_.Table(lumora::Code("rast"))[0];
  }
  void TearDown() override {
    ShutDown();
    unsetenv("ROWFORK_CPUS");
    unsetenv("WINDIR");
  }

  int16_t Start() { return StartUp(static_cast<const PluginParamBlock *>(suites_.Block())); }
  bool SlotReplaced() { return suites_.Table(lumora::Code("rast"))[0] != host_slot_; }

  // A clean start-up and shut-down, counting what the start-up asks for.
  Demand CleanStartUp() {
    const Demand before{PluginAllocCalls(), CallsMade(Failing::kCreateEvent),
                        CallsMade(Failing::kCreateThread)};
    EXPECT_EQ(Start(), 0);
    const Demand demand{PluginAllocCalls() - before.buffers, CallsMade(Failing::kCreateEvent) - before.events,
                        CallsMade(Failing::kCreateThread) - before.threads};
    ShutDown();
    return demand;
  }

  // Start-up with the nth call of one kind failing; `fail(nth)` arms it and
  // `fail(0)` disarms it.
  template <typename Fail>
  void ExpectEachFailureLeavesNothing(int calls, Fail fail) {
    const int threads_before = lumora::ProcessThreadCount();
    const int buffers_before = PluginLiveBuffers();
    const int objects_before = test_hooks::OpenKernelObjects();
    for (int nth = 1; nth <= calls; ++nth) {
      SCOPED_TRACE(::testing::Message() << "call " << nth << " of " << calls << " fails");
      fail(nth);
      EXPECT_EQ(Start(), -108);
      fail(0);
      EXPECT_FALSE(PoolExists());
      EXPECT_EQ(PluginLiveBuffers(), buffers_before);
      EXPECT_EQ(test_hooks::OpenKernelObjects(), objects_before);
      EXPECT_EQ(lumora::ProcessThreadCount(), threads_before) << "no thread left behind";
      ShutDown();  // after a failed start-up: nothing to end
    }
    ASSERT_EQ(Start(), 0) << "a later start-up succeeds";
    EXPECT_EQ(lumora::ProcessThreadCount(), threads_before + GetParam() - 1);
  }

  lumora::HostSuites suites_;
  lumora::Routine host_slot_ = nullptr;
};

TEST_P(StartUpFaults, TheFirstStartUpAsksForFiveBuffersTwoEventsAndAThreadPerWorker) {
  const int workers = GetParam() - 1;
  const Demand demand = CleanStartUp();
  EXPECT_EQ(demand.buffers, 5);
  EXPECT_EQ(demand.events, 2 * workers);
  EXPECT_EQ(demand.threads, workers);
}

TEST_P(StartUpFaults, EachBufferFailing) {
  const Demand demand = CleanStartUp();
  ExpectEachFailureLeavesNothing(demand.buffers, [](int nth) { PluginFailNthAlloc(nth); });
}

TEST_P(StartUpFaults, EachEventFailing) {
  const Demand demand = CleanStartUp();
  ExpectEachFailureLeavesNothing(demand.events,
                                 [](int nth) { test_hooks::FailNthCall(Failing::kCreateEvent, nth); });
}

TEST_P(StartUpFaults, EachThreadFailing) {
  const Demand demand = CleanStartUp();
  ExpectEachFailureLeavesNothing(demand.threads,
                                 [](int nth) { test_hooks::FailNthCall(Failing::kCreateThread, nth); });
}

TEST_P(StartUpFaults, AFailedFirstStartUpReplacesNoSlot) {
  PluginFailNthAlloc(5);  // the worker blocks
  EXPECT_EQ(Start(), -108);
  PluginFailNthAlloc(0);
  EXPECT_FALSE(SlotReplaced());
  test_hooks::FailNthCall(Failing::kCreateThread, GetParam() - 1);  // the last worker
  EXPECT_EQ(Start(), -108);
  test_hooks::FailNthCall(Failing::kCreateThread, 0);
  EXPECT_FALSE(SlotReplaced());
  ASSERT_EQ(Start(), 0);
  EXPECT_TRUE(SlotReplaced());
}

INSTANTIATE_TEST_SUITE_P(Threads, StartUpFaults, ::testing::Values(2, 3, 4, 70));

}  // namespace
}  // namespace rowfork::testing
