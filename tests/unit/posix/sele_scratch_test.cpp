// Slot 2's private tables: given back on every path, and when they cannot be
// had the host's routine counts the call unsplit.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <vector>

#include "histogram_reference.h"
#include "host/host_suites.h"
#include "host/suites/sele_routines.h"
#include "kernels/histogram_split.h"
#include "platform/posix/test_hooks.h"
#include "pool/pool.h"
#include "unit/installed_wrapper.h"
#include "unit/module_fixture.h"

namespace rowfork::testing {
namespace {

using HostCount = int32_t (*)(Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16);

constexpr int kRows = 40, kColumns = 24, kStride = 32, kMaskStride = 48;

std::atomic<int> host_counts{0};
std::atomic<uint64_t> host_count_thread{0};
HostCount host_count_routine;

// The host's own slot-2 routine, noting that it ran and where.
int32_t NotedHostCount(Ptr a, Ptr b, Ptr c, Ptr w, Ptr mask, I16 rows, I16 columns, I16 stride,
                       I16 mask_stride, I16 threshold) {
  host_counts.fetch_add(1);
  host_count_thread = lumora::CurrentThreadTag();
  return host_count_routine(a, b, c, w, mask, rows, columns, stride, mask_stride, threshold);
}

GenericRoutine &Saved(int slot) { return SavedProcs[SavedOffset(Suite::sele) + slot]; }

class SeleScratch : public PoolTest {
 protected:
  void SetUp() override {
    PoolTest::SetUp();
    lumora::PutSeleRoutines(host_);
    Saved(0) = reinterpret_cast<GenericRoutine>(host_.Table(lumora::Code("sele"))[0]);
    host_count_routine = reinterpret_cast<HostCount>(host_.Table(lumora::Code("sele"))[2]);
    Saved(2) = reinterpret_cast<GenericRoutine>(&NotedHostCount);
    HistogramTable = nullptr;
    count_ = reinterpret_cast<HostCount>(InstalledWrapper(Suite::sele, 2));
    host_counts = 0;
    std::mt19937 random(3);
    for (auto *plane : {&a_, &b_, &c_, &w_, &mask_}) {
      plane->resize(size_t{kRows} * kMaskStride);
      for (uint8_t &byte : *plane) byte = static_cast<uint8_t>(random());
    }
    blocks_before_ = test_hooks::LiveGlobalBlocks();
  }
  void TearDown() override {
    test_hooks::FailNthCall(test_hooks::Failing::kGlobalAlloc, 0);
    EXPECT_EQ(test_hooks::LiveGlobalBlocks(), blocks_before_) << "the private tables were given back";
    Saved(0) = nullptr;
    Saved(2) = nullptr;
    HistogramTable = nullptr;
    PoolTest::TearDown();
  }

  // Slot 2 over the test's planes, with a mask at threshold 100.
  void Count(int rows) {
    count_(a_.data(), b_.data(), c_.data(), w_.data(), mask_.data(), static_cast<I16>(rows), kColumns,
           kStride, kMaskStride, 100);
  }
  std::vector<uint32_t> Expected(int rows) const {
    return histogram_reference::Counts({a_.data(), b_.data(), c_.data(), w_.data(), mask_.data(), rows,
                                        kColumns, kStride, kMaskStride, 100});
  }

  lumora::HostSuites host_;
  HostCount count_ = nullptr;
  std::vector<uint8_t> a_, b_, c_, w_, mask_;
  int blocks_before_ = 0;
};

TEST_P(SeleScratch, ASplitCountsItselfAndGivesTheTablesBack) {
  std::vector<uint32_t> table(kHistogramCounters, 0);
  EXPECT_EQ(RecordHistogramTable(table.data()), lumora::kSeleTableResult);
  Count(kRows);
  EXPECT_EQ(host_counts, 0) << "the split counts with the module's own procedure";
  EXPECT_EQ(table, Expected(kRows));
}

TEST_P(SeleScratch, WithoutPrivateTablesTheHostCountsUnsplit) {
  std::vector<uint32_t> table(kHistogramCounters, 0);
  RecordHistogramTable(table.data());
  test_hooks::FailNthCall(test_hooks::Failing::kGlobalAlloc, 1);
  Count(kRows);
  EXPECT_EQ(host_counts, 1);
  EXPECT_EQ(host_count_thread, lumora::CurrentThreadTag());
  EXPECT_EQ(table, Expected(kRows));
}

// The unsplit paths after the tables were taken: each gives them back.
TEST_P(SeleScratch, EveryUnsplitPathGivesTheTablesBack) {
  std::vector<uint32_t> table(kHistogramCounters, 0);
  Count(kRows);
  EXPECT_EQ(host_counts, 1) << "no table recorded yet: the host's routine runs";
  EXPECT_EQ(test_hooks::LiveGlobalBlocks(), blocks_before_);

  RecordHistogramTable(table.data());
  Count(Threads() - 1);
  EXPECT_EQ(host_counts, 2) << "fewer rows than threads";
  EXPECT_EQ(test_hooks::LiveGlobalBlocks(), blocks_before_);

  WaitAndClaimPool();
  Count(kRows);
  ReleasePool();
  EXPECT_EQ(host_counts, 3) << "the pool was busy";

  std::vector<uint32_t> expected = Expected(Threads() - 1);
  histogram_reference::AddCounts(
      {a_.data(), b_.data(), c_.data(), w_.data(), mask_.data(), kRows, kColumns, kStride, kMaskStride, 100},
      expected);
  EXPECT_EQ(table, expected);
}

INSTANTIATE_TEST_SUITE_P(Threads, SeleScratch, ::testing::Values(2, 3, 4, 8));

}  // namespace
}  // namespace rowfork::testing
