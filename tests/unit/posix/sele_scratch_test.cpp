// The selection suite's slot 2 takes private tables for the workers' counts
// at every split and gives them back; when they cannot be had, or no table is
// recorded, too few rows are given or the pool is busy, the host's routine
// counts the call unsplit on the calling thread.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <vector>

#include "histogram_reference.h"
#include "host/host_suites.h"
#include "host/suites/sele_routines.h"
#include "host/thread_tag.h"
#include "kernels/histogram_split.h"
#include "platform/posix/test_hooks.h"
#include "unit/installed_wrapper.h"
#include "unit/module_fixture.h"

namespace rowfork::testing {
namespace {

using HostCount = int32_t (*)(Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16);

constexpr int kRows = 40, kColumns = 24, kStride = 32, kMaskStride = 48;

std::atomic<uint64_t> host_count_thread{0};
HostCount host_count_routine;

// The host's own slot-2 routine, noting where it ran.
int32_t NotedHostCount(Ptr a, Ptr b, Ptr c, Ptr w, Ptr mask, I16 rows, I16 columns, I16 stride,
                       I16 mask_stride, I16 threshold) {
  host_count_thread = lumora::CurrentThreadTag();
  return host_count_routine(a, b, c, w, mask, rows, columns, stride, mask_stride, threshold);
}

GenericRoutine &Saved(int slot) { return SavedProcs[SavedOffset(Suite::sele) + slot]; }

class SeleScratch : public PoolTest {
 protected:
  void SetUp() override {
    PoolTest::SetUp();
    lumora::PutSeleRoutines(host_);
    const lumora::Routine *table = host_.Table(lumora::Code("sele"));
    Saved(0) = reinterpret_cast<GenericRoutine>(table[0]);
    host_count_routine = reinterpret_cast<HostCount>(table[2]);
    Saved(2) = reinterpret_cast<GenericRoutine>(&NotedHostCount);
    HistogramTable = nullptr;
    count_ = reinterpret_cast<HostCount>(InstalledWrapper(Suite::sele, 2));
    std::mt19937 random(3);
    for (uint8_t &byte : planes_) byte = static_cast<uint8_t>(random());
  }
  void TearDown() override {
    Saved(0) = Saved(2) = nullptr;
    HistogramTable = nullptr;
    PoolTest::TearDown();
  }

  // Slot 2 over `rows` rows of the test's planes A, B, C, W and the mask,
  // at threshold 100, its counts added to `expected`: whether the host's
  // routine counted them, on the calling thread.
  bool HostCounted(int rows, std::vector<uint32_t> &expected) {
    const int blocks_before = test_hooks::LiveGlobalBlocks();
    host_count_thread = 0;
    count_(Plane(0), Plane(1), Plane(2), Plane(3), Plane(4), static_cast<I16>(rows), kColumns, kStride,
           kMaskStride, 100);
    EXPECT_EQ(test_hooks::LiveGlobalBlocks(), blocks_before) << "the private tables were given back";
    histogram_reference::AddCounts(
        {Plane(0), Plane(1), Plane(2), Plane(3), Plane(4), rows, kColumns, kStride, kMaskStride, 100},
        expected);
    return host_count_thread == lumora::CurrentThreadTag();
  }
  uint8_t *Plane(int n) { return planes_.data() + n * kRows * kMaskStride; }

  lumora::HostSuites host_;
  HostCount count_ = nullptr;
  std::vector<uint8_t> planes_ = std::vector<uint8_t>(5 * kRows * kMaskStride);
};

TEST_P(SeleScratch, EveryPathCountsOnceAndGivesTheTablesBack) {
  std::vector<uint32_t> table(kHistogramCounters, 0), expected = table, unrecorded = table;
  EXPECT_TRUE(HostCounted(kRows, unrecorded)) << "no table recorded yet";
  EXPECT_EQ(RecordHistogramTable(table.data()), lumora::kSeleTableResult);
  EXPECT_FALSE(HostCounted(kRows, expected)) << "a split counts with the module's own procedure";
  test_hooks::FailNthCall(test_hooks::Failing::kGlobalAlloc, 1);
  EXPECT_TRUE(HostCounted(kRows, expected)) << "no private tables to be had";
  test_hooks::FailNthCall(test_hooks::Failing::kGlobalAlloc, 0);
  EXPECT_TRUE(HostCounted(Threads() - 1, expected)) << "fewer rows than threads";
  WaitAndClaimPool();
  EXPECT_TRUE(HostCounted(kRows, expected)) << "the pool is busy";
  ReleasePool();
  EXPECT_EQ(table, expected);
}

INSTANTIATE_TEST_SUITE_P(Threads, SeleScratch, ::testing::Values(2, 3, 4, 8));

}  // namespace
}  // namespace rowfork::testing
