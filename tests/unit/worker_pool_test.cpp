// Building and ending the pool, and its clean-up when the host's memory runs
// out at any of its allocations.
#include <gtest/gtest.h>

#include "host/plugin_support.h"
#include "host/thread_tag.h"
#include "pool/pool_state.h"
#include "unit/module_fixture.h"

namespace rowfork::testing {
namespace {

void ExpectNoPool() {
  EXPECT_EQ(StartEvents, nullptr);
  EXPECT_EQ(DoneEvents, nullptr);
  EXPECT_EQ(WorkerThreads, nullptr);
  EXPECT_EQ(WorkerBlocks, nullptr);
  EXPECT_EQ(Gates, nullptr);
  EXPECT_FALSE(PoolExists());
}

class WorkerPoolTest : public ::testing::TestWithParam<int> {};

TEST_P(WorkerPoolTest, BuildsOneWorkerPerExtraParticipantAndEndsThemAll) {
  const int threads = GetParam();
  const int threads_before = lumora::ProcessThreadCount();
  const int buffers_before = PluginLiveBuffers();
  {
    LivePool pool(threads);
    ASSERT_TRUE(pool.Built());
    EXPECT_EQ(lumora::ProcessThreadCount(), threads_before + threads - 1);
    EXPECT_EQ(PluginLiveBuffers(), buffers_before + 5) << "four arrays and the blocks";
    for (int k = 0; k < threads; ++k) {
      EXPECT_EQ(reinterpret_cast<unsigned char *>(WorkerBlocks[k]) -
                    reinterpret_cast<unsigned char *>(WorkerBlocks[0]),
                256 * k);
    }
    for (int k = 0; k + 1 < threads; ++k) {
      EXPECT_NE(StartEvents[k], nullptr);
      EXPECT_NE(DoneEvents[k], nullptr);
      EXPECT_NE(WorkerThreads[k], nullptr);
    }
  }
  ExpectNoPool();
  EXPECT_EQ(lumora::ProcessThreadCount(), threads_before);
  EXPECT_EQ(PluginLiveBuffers(), buffers_before);
}

TEST_P(WorkerPoolTest, LackingMemoryAtAnyAllocationUndoesEverything) {
  const int threads = GetParam();
  const int threads_before = lumora::ProcessThreadCount();
  const int buffers_before = PluginLiveBuffers();
  for (int failing = 1; failing <= 5; ++failing) {
    SCOPED_TRACE(failing);
    PluginFailNthAlloc(failing);
    WaitAndClaimPool();
    EXPECT_EQ(CreateWorkerPool(static_cast<int16_t>(threads)), -108);
    ReleasePool();
    PluginFailNthAlloc(0);
    ExpectNoPool();
    EXPECT_EQ(PluginLiveBuffers(), buffers_before);
    EXPECT_EQ(lumora::ProcessThreadCount(), threads_before);
  }
  LivePool pool(threads);
  EXPECT_TRUE(pool.Built()) << "a later build succeeds";
}

INSTANTIATE_TEST_SUITE_P(Threads, WorkerPoolTest, ::testing::Values(2, 3, 4, 8, 70));

// A slice procedure that counts its runs.
std::atomic<int> runs;
void CountRun(WorkerBlock *) { runs.fetch_add(1); }

TEST(WorkerPool, OneSetOfTheStartEventsRunsEachWorkerExactlyOnce) {
  for (int threads : {2, 70}) {
    LivePool pool(threads);
    ASSERT_EQ(ClaimPool(), threads);
    for (int round = 1; round <= 200; ++round) {
      runs.store(0);
      RunSlices(&CountRun);
      ASSERT_EQ(runs.load(), threads) << "round " << round;
    }
    ReleasePool();
  }
}

TEST(WorkerPool, TheClaimFailsWhileHeldAndWithoutAPool) {
  EXPECT_EQ(ClaimPool(), 0) << "no pool exists";
  EXPECT_FALSE(SplitInProgress());
  LivePool pool(3);
  ASSERT_EQ(ClaimPool(), 3);
  EXPECT_TRUE(SplitInProgress());
  EXPECT_EQ(ClaimPool(), 0);
  ReleasePool();
  EXPECT_EQ(ClaimPool(), 3);
  ReleasePool();
}

}  // namespace
}  // namespace rowfork::testing
