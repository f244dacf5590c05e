// Start-up with each of its resources lacking in turn: every host buffer, the
// workers' words, every event and every thread the pool asks for. Each
// failure reports -108, leaves no pool, buffer, global block, kernel object or
// thread behind and replaces no slot, and the next start-up succeeds.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

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
using test_hooks::FailNthCall;

class StartUpFaults : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    setenv("ROWFORK_CPUS", std::to_string(GetParam()).c_str(), 1);
    setenv("WINDIR", "/nonexistent", 1);  // no profile: switched on
  }
  void TearDown() override {
    ShutDown();
    unsetenv("ROWFORK_CPUS");
    unsetenv("WINDIR");
  }

  int16_t Start() { return StartUp(static_cast<const PluginParamBlock *>(suites_.Block())); }
  lumora::Routine Slot() { return suites_.Table(lumora::Code("rast"))[0]; }
  int Workers() const { return GetParam() - 1; }

  // What a failed start-up must leave as it found it: the process's threads,
  // the host buffers, global blocks and kernel objects live, and whether a
  // pool exists.
  static std::vector<int> Held() {
    return {lumora::ProcessThreadCount(), PluginLiveBuffers(), test_hooks::LiveGlobalBlocks(),
            test_hooks::OpenKernelObjects(), PoolExists()};
  }

  // Start-up with the nth call of one kind failing, for each of `calls`;
  // `fail(nth)` arms it and `fail(0)` disarms it.
  template <typename Fail>
  void ExpectEachFailureLeavesNothing(const char *what, int calls, Fail fail) {
    const std::vector<int> held = Held();
    for (int nth = 1; nth <= calls; ++nth) {
      SCOPED_TRACE(::testing::Message() << what << " " << nth << " of " << calls << " fails");
      const lumora::Routine slot = Slot();
      fail(nth);
      EXPECT_EQ(Start(), -108);
      fail(0);
      EXPECT_EQ(Slot(), slot) << "no slot replaced";
      EXPECT_EQ(Held(), held) << "threads, buffers, blocks, kernel objects, pool";
      ShutDown();  // after a failed start-up: nothing to end
    }
  }

  lumora::HostSuites suites_;
};

// What start-up asks for is what it holds while it runs (each call counted,
// each object open until it ends): the counts the failure cases rest on.
TEST_P(StartUpFaults, StartUpAsksForFiveBuffersTheWordsTwoEventsAndAThreadPerWorker) {
  const int buffers = PluginAllocCalls(), blocks = CallsMade(Failing::kGlobalAlloc),
            events = CallsMade(Failing::kCreateEvent), threads = CallsMade(Failing::kCreateThread);
  const int live_buffers = PluginLiveBuffers(), live_blocks = test_hooks::LiveGlobalBlocks(),
            objects = test_hooks::OpenKernelObjects();
  ASSERT_EQ(Start(), 0);
  EXPECT_EQ(PluginAllocCalls() - buffers, 5);
  EXPECT_EQ(CallsMade(Failing::kGlobalAlloc) - blocks, 1);
  EXPECT_EQ(CallsMade(Failing::kCreateEvent) - events, 2 * Workers());
  EXPECT_EQ(CallsMade(Failing::kCreateThread) - threads, Workers());
  EXPECT_EQ(PluginLiveBuffers() - live_buffers, 5);
  EXPECT_EQ(test_hooks::LiveGlobalBlocks() - live_blocks, 1);
  EXPECT_EQ(test_hooks::OpenKernelObjects() - objects, 3 * Workers());
}

TEST_P(StartUpFaults, EachResourceLackingInTurn) {
  const int threads_before = lumora::ProcessThreadCount();
  ExpectEachFailureLeavesNothing("buffer", 5, [](int nth) { PluginFailNthAlloc(nth); });
  ExpectEachFailureLeavesNothing("global block", 1, [](int nth) { FailNthCall(Failing::kGlobalAlloc, nth); });
  ExpectEachFailureLeavesNothing("event", 2 * Workers(),
                                 [](int nth) { FailNthCall(Failing::kCreateEvent, nth); });
  ExpectEachFailureLeavesNothing("thread", Workers(),
                                 [](int nth) { FailNthCall(Failing::kCreateThread, nth); });
  ASSERT_EQ(Start(), 0) << "a later start-up succeeds";
  EXPECT_EQ(lumora::ProcessThreadCount(), threads_before + Workers());
}

INSTANTIATE_TEST_SUITE_P(Threads, StartUpFaults, ::testing::Values(2, 3, 4, 70));

}  // namespace
}  // namespace rowfork::testing
