// Every event and every thread the pool creates, made to fail in turn: the
// build reports -108 and leaves nothing behind.
#include <gtest/gtest.h>

#include "host/plugin_support.h"
#include "host/thread_tag.h"
#include "platform/posix/test_hooks.h"
#include "pool/pool_state.h"
#include "unit/module_fixture.h"

namespace rowfork::testing {
namespace {

using test_hooks::Failing;

class PoolFaults : public ::testing::TestWithParam<int> {
 protected:
  void ExpectFailureLeavesNothing(Failing what, int nth) {
    SCOPED_TRACE(::testing::Message() << "call " << nth << " fails");
    const int threads_before = lumora::ProcessThreadCount();
    const int buffers_before = PluginLiveBuffers();
    const int objects_before = test_hooks::OpenKernelObjects();
    const int global_blocks_before = test_hooks::LiveGlobalBlocks();
    test_hooks::FailNthCall(what, nth);
    WaitAndClaimPool();
    EXPECT_EQ(CreateWorkerPool(static_cast<int16_t>(GetParam())), -108);
    ReleasePool();
    test_hooks::FailNthCall(what, 0);
    EXPECT_EQ(Gates, nullptr);
    EXPECT_EQ(test_hooks::LiveGlobalBlocks(), global_blocks_before);
    EXPECT_EQ(WorkerBlocks, nullptr);
    EXPECT_EQ(StartEvents, nullptr);
    EXPECT_EQ(WorkerThreads, nullptr);
    EXPECT_EQ(test_hooks::OpenKernelObjects(), objects_before);
    EXPECT_EQ(PluginLiveBuffers(), buffers_before);
    EXPECT_EQ(lumora::ProcessThreadCount(), threads_before) << "no thread left behind";
  }
};

TEST_P(PoolFaults, EachEvent) {
  const int events = 2 * (GetParam() - 1);
  for (int nth = 1; nth <= events; ++nth) ExpectFailureLeavesNothing(Failing::kCreateEvent, nth);
  LivePool pool(GetParam());
  EXPECT_TRUE(pool.Built());
}

TEST_P(PoolFaults, TheWorkersWords) {
  ExpectFailureLeavesNothing(Failing::kGlobalAlloc, 1);
  LivePool pool(GetParam());
  EXPECT_TRUE(pool.Built());
}

TEST_P(PoolFaults, EachThread) {
  for (int nth = 1; nth <= GetParam() - 1; ++nth) ExpectFailureLeavesNothing(Failing::kCreateThread, nth);
  LivePool pool(GetParam());
  EXPECT_TRUE(pool.Built());
}

INSTANTIATE_TEST_SUITE_P(Threads, PoolFaults, ::testing::Values(2, 3, 4, 70));

}  // namespace
}  // namespace rowfork::testing
