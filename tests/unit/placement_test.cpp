// Where the pool's threads run, on either target: each worker on a processor
// of its own after the first while there are enough, a worker on the
// caller's processor makes way when a split wakes it, or within a few splits
// while it spins, and the caller's own affinity is never changed.
#include "pool/placement.h"

#include <gtest/gtest.h>

#include <chrono>
#include <new>
#include <thread>
#include <vector>

#include "platform/win32.h"
#include "pool/pool_state.h"
#include "unit/module_fixture.h"

#if !defined(_WIN32)
#include <sched.h>
#endif

namespace rowfork::testing {
namespace {

// The processors the process may use, lowest first.
std::vector<int> ProcessProcessors() {
  DWORD_PTR process = 0, system = 0;
  std::vector<int> processors;
  if (!GetProcessAffinityMask(GetCurrentProcess(), &process, &system)) return processors;
  for (int processor = 0; processor < static_cast<int>(sizeof(DWORD_PTR) * 8); ++processor) {
    if (((process >> processor) & 1) != 0) processors.push_back(processor);
  }
  return processors;
}

// Binds the calling thread to `mask` and returns the mask it had.
DWORD_PTR BindCaller(DWORD_PTR mask) {
#if defined(_WIN32)
  return SetThreadAffinityMask(GetCurrentThread(), mask);
#else
  cpu_set_t before, after;
  sched_getaffinity(0, sizeof before, &before);
  CPU_ZERO(&after);
  DWORD_PTR previous = 0;
  for (unsigned cpu = 0; cpu < sizeof(DWORD_PTR) * 8; ++cpu) {
    if (((mask >> cpu) & 1) != 0) CPU_SET(cpu, &after);
    if (CPU_ISSET(cpu, &before)) previous |= DWORD_PTR{1} << cpu;
  }
  EXPECT_EQ(sched_setaffinity(0, sizeof after, &after), 0);
  return previous;
#endif
}

DWORD_PTR Only(int processor) { return DWORD_PTR{1} << processor; }

// Each slice notes in its block the processor it runs on.
void NoteProcessor(WorkerBlock *block) { new (block->bytes) DWORD(GetCurrentProcessorNumber()); }

// One split: the processor each worker ran on.
std::vector<int> WorkersRanOn() {
  const int threads = ClaimPool();
  EXPECT_GT(threads, 1);
  RunSlices(&NoteProcessor);
  std::vector<int> ran_on;
  for (int k = 0; k + 1 < threads; ++k)
    ran_on.push_back(static_cast<int>(*std::launder(reinterpret_cast<DWORD *>(SliceBlock(k)->bytes))));
  ReleasePool();
  return ran_on;
}

class Placement : public ::testing::Test {
 protected:
  void SetUp() override {
    if (processors_.size() < 2) GTEST_SKIP() << "placement needs two processors";
  }
  const std::vector<int> processors_ = ProcessProcessors();
};

// With more participants than processors, the scheduler places them all.
TEST_F(Placement, EachWorkerRunsOnAProcessorOfItsOwnAfterTheFirst) {
  const int threads = static_cast<int>(processors_.size());
  {
    LivePool pool(threads);
    ASSERT_TRUE(pool.Built());
    for (int k = 0; k + 1 < threads; ++k) EXPECT_EQ(WorkerProcessor(k), processors_[size_t(k) + 1]) << k;
    for (int round = 0; round < 20; ++round) {
      const std::vector<int> ran_on = WorkersRanOn();
      for (int k = 0; k + 1 < threads; ++k) EXPECT_EQ(ran_on[size_t(k)], WorkerProcessor(k)) << k;
    }
  }
  EXPECT_EQ(WorkerProcessor(0), -1) << "an ended pool leaves no placement";
  LivePool pool(threads + 1);
  ASSERT_TRUE(pool.Built());
  for (int k = 0; k < threads; ++k) EXPECT_EQ(WorkerProcessor(k), -1) << "too many participants: " << k;
  EXPECT_EQ(WorkersRanOn().size(), processors_.size());
}

TEST_F(Placement, AWorkerOnTheCallersProcessorMakesWayAndTheCallerKeepsItsAffinity) {
  LivePool pool(2);
  ASSERT_TRUE(pool.Built());
  const int first = processors_[0];
  const int second = processors_[1];
  const DWORD_PTR callers_own = BindCaller(Only(second));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));  // worker 0 falls asleep
  EXPECT_EQ(WorkersRanOn(), std::vector<int>{first}) << "worker 0 left the caller's processor as it woke";
  EXPECT_EQ(WorkerProcessor(0), first);
  EXPECT_EQ(BindCaller(Only(first)), Only(second)) << "the caller's affinity is its own";
  for (int split = 1; split < kCheckCallerEvery; ++split) WorkersRanOn();
  EXPECT_EQ(WorkersRanOn(), std::vector<int>{second}) << "and back, within a few splits while it spins";
  EXPECT_EQ(WorkersRanOn(), std::vector<int>{second}) << "nothing moves while the caller stays";
  BindCaller(callers_own);
}

}  // namespace
}  // namespace rowfork::testing
