// The split engine through declarations of the kind the suites use: what each
// slice receives, where it runs, when a call stays unsplit.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "pool/pool.h"
#include "pool/split.h"
#include "unit/module_fixture.h"

namespace rowfork::testing {
namespace {

SliceLog *log_;

int64_t N(const void *pointer) { return static_cast<int64_t>(reinterpret_cast<intptr_t>(pointer)); }
Ptr P(intptr_t address) { return reinterpret_cast<Ptr>(address); }

int32_t RecordTwoPlanes(Ptr a, Ptr b, I16 rows, I16 value, I16 stride_a, I16 stride_b) {
  log_->Add({N(a), N(b), rows, value, stride_a, stride_b});
  return 1000 + rows;
}

using TwoPlanes = RowSplit<int32_t(Ptr, Ptr, I16, I16, I16, I16), Rows<3>, Plane<1, 5>, Plane<2, 6>>;

class RowSplitTest : public PoolTest {
 protected:
  void SetUp() override {
    PoolTest::SetUp();
    log_ = &log;
  }
  SliceLog log;
};

TEST_P(RowSplitTest, SlicesCoverTheRowsInBandsTheLastOnTheCaller) {
  const int threads = Threads();
  const uint64_t caller = lumora::CurrentThreadTag();
  for (int rows : {threads, threads + 1, 2 * threads - 1, 10 * threads + 3, 32767}) {
    SCOPED_TRACE(rows);
    SliceLog fresh;
    log_ = &fresh;
    const int32_t result =
        TwoPlanes::Run(&RecordTwoPlanes, P(0x100000), P(0x900000), static_cast<I16>(rows), 7, 40, -24);
    EXPECT_EQ(result, 0) << "a split hands back no result";
    const auto slices = fresh.Sorted(/*plane A*/ 0);
    ASSERT_EQ(slices.size(), static_cast<size_t>(threads));
    const int per = rows / threads;
    std::vector<uint64_t> workers;
    for (int k = 0; k < threads; ++k) {
      const auto &args = slices[static_cast<size_t>(k)].args;
      EXPECT_EQ(args[0], 0x100000 + k * per * 40);
      EXPECT_EQ(args[1], 0x900000 - k * per * 24);
      EXPECT_EQ(args[2], k == threads - 1 ? rows - (threads - 1) * per : per);
      EXPECT_EQ(args[3], 7);
      EXPECT_EQ(args[4], 40);
      EXPECT_EQ(args[5], -24);
      workers.push_back(slices[static_cast<size_t>(k)].thread);
    }
    EXPECT_EQ(workers.back(), caller) << "the caller runs the last slice";
    workers.pop_back();
    std::sort(workers.begin(), workers.end());
    EXPECT_EQ(std::unique(workers.begin(), workers.end()), workers.end()) << "one worker per slice";
    EXPECT_EQ(std::count(workers.begin(), workers.end(), caller), 0);
  }
}

TEST_P(RowSplitTest, TooFewOrNegativeRowsRunUnsplitOnTheCaller) {
  for (int rows : {Threads() - 1, 1, 0, -1, -5 * Threads(), -32768}) {
    SCOPED_TRACE(rows);
    SliceLog fresh;
    log_ = &fresh;
    const int32_t result =
        TwoPlanes::Run(&RecordTwoPlanes, P(0x100000), P(0x900000), static_cast<I16>(rows), 7, 40, 24);
    EXPECT_EQ(result, 1000 + rows) << "the unsplit call hands back the routine's result";
    const auto slices = fresh.Sorted();
    ASSERT_EQ(slices.size(), 1u);
    EXPECT_EQ(slices[0].thread, lumora::CurrentThreadTag());
    EXPECT_EQ(slices[0].args, (std::vector<int64_t>{0x100000, 0x900000, rows, 7, 40, 24}));
  }
}

// A slice that makes a wrapped call of its own: it must run unsplit there.
int32_t NestingRoutine(Ptr a, Ptr b, I16 rows, I16 value, I16 stride_a, I16 stride_b) {
  log_->Add({N(a), rows, SplitInProgress() ? 1 : 0, -1});
  TwoPlanes::Run(&RecordTwoPlanes, a, b, rows, value, stride_a, stride_b);
  return 0;
}

TEST_P(RowSplitTest, AWrappedCallFromInsideASliceRunsUnsplitThere) {
  const int rows = 5 * Threads() + 1;
  TwoPlanes::Run(&NestingRoutine, P(0x100000), P(0x200000), static_cast<I16>(rows), 1, 10, 10);
  const auto calls = log.Sorted();
  ASSERT_EQ(calls.size(), 2u * static_cast<size_t>(Threads()));
  // Each outer slice (marked -1) is followed on its own thread by exactly one inner call with its rows.
  for (const SliceCall &outer : calls) {
    if (outer.args.size() != 4) continue;
    EXPECT_EQ(outer.args[2], 1) << "PoolBusy is visible inside a slice";
    int inner_calls = 0;
    for (const SliceCall &inner : calls) {
      if (inner.args.size() == 6 && inner.args[0] == outer.args[0]) {
        ++inner_calls;
        EXPECT_EQ(inner.thread, outer.thread);
        EXPECT_EQ(inner.args[2], outer.args[1]);
      }
    }
    EXPECT_EQ(inner_calls, 1);
  }
  EXPECT_FALSE(SplitInProgress());
}

INSTANTIATE_TEST_SUITE_P(Threads, RowSplitTest, ::testing::Values(2, 3, 4, 8, 70));

class WorkedExamples : public RowSplitTest {};

TEST_P(WorkedExamples, RowsSevenOnTwoAndTenOnFour) {
  const int threads = Threads();
  const int rows = threads == 2 ? 7 : 10;
  TwoPlanes::Run(&RecordTwoPlanes, P(1000), P(5000), static_cast<I16>(rows), 0, 100, 10);
  const auto slices = log.Sorted();
  std::vector<int64_t> counts, a_offsets;
  for (const auto &slice : slices) {
    counts.push_back(slice.args[2]);
    a_offsets.push_back(slice.args[0] - 1000);
  }
  if (threads == 2) {
    EXPECT_EQ(counts, (std::vector<int64_t>{3, 4}));
    EXPECT_EQ(a_offsets, (std::vector<int64_t>{0, 300}));
    EXPECT_EQ(slices[1].args[1], 5000 + 3 * 10);
  } else {
    EXPECT_EQ(counts, (std::vector<int64_t>{2, 2, 2, 4}));
    EXPECT_EQ(a_offsets, (std::vector<int64_t>{0, 200, 400, 600}));
  }
}

INSTANTIATE_TEST_SUITE_P(Threads, WorkedExamples, ::testing::Values(2, 4));

// Two host threads calling at once: the one that finds the pool busy runs
// unsplit, and neither call is lost or corrupted.
std::atomic<int> phase;
SliceLog *hold_log_;

int32_t HoldingRoutine(Ptr a, Ptr, I16 rows, I16, I16, I16) {
  hold_log_->Add({N(a), rows, 0, 0, 0, 0});
  if (N(a) == 0x100000) {
    phase.store(1);
    while (phase.load() != 2) std::this_thread::yield();
  }
  return 0;
}

TEST_P(RowSplitTest, AHostThreadThatFindsThePoolBusyRunsUnsplit) {
  phase.store(0);
  SliceLog second_log;
  hold_log_ = &log;
  log_ = &second_log;
  std::thread first([] { TwoPlanes::Run(&HoldingRoutine, P(0x100000), P(0), 200, 0, 1, 1); });
  while (phase.load() != 1) std::this_thread::yield();
  TwoPlanes::Run(&RecordTwoPlanes, P(0x700000), P(0), 200, 0, 1, 1);
  phase.store(2);
  first.join();
  const auto second = second_log.Sorted();
  ASSERT_EQ(second.size(), 1u);
  EXPECT_EQ(second[0].args[2], 200);
  EXPECT_EQ(second[0].thread, lumora::CurrentThreadTag());
  EXPECT_EQ(log.Size(), static_cast<size_t>(Threads())) << "the first call still split";
}

}  // namespace
}  // namespace rowfork::testing
