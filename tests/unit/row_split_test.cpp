// The split engine at work, through declarations of the kind the suites use:
// where each slice runs and what it receives, calls that stay unsplit, a
// wrapped call from inside a slice, the slices' scratch buffers.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <set>

#include "pool/split.h"
#include "unit/module_fixture.h"

namespace rowfork::testing {
namespace {

SliceLog slices;

int64_t N(const void *pointer) { return static_cast<int64_t>(reinterpret_cast<intptr_t>(pointer)); }
Ptr P(intptr_t address) { return reinterpret_cast<Ptr>(address); }

int32_t RecordTwoPlanes(Ptr a, Ptr b, I16 rows, I16 value, I16 stride_a, I16 stride_b) {
  slices.Add({N(a), N(b), rows, value, stride_a, stride_b});
  return 1000 + rows;
}
using TwoPlanes = RowSplit<int32_t(Ptr, Ptr, I16, I16, I16, I16), Rows<3>, Plane<1, 5>, Plane<2, 6>>;

class RowSplitTest : public PoolTest {};

TEST_P(RowSplitTest, EachSliceOnAParticipantOfItsOwnTheLastOnTheCaller) {
  const int threads = Threads();
  const uint64_t caller = lumora::CurrentThreadTag();
  for (int rows : {threads - 1, 0, -32768, threads, 7, 10, 2 * threads - 1, 10 * threads + 3, 32767}) {
    SCOPED_TRACE(rows);
    const int32_t result =
        TwoPlanes::Run(&RecordTwoPlanes, P(0x100000), P(0x900000), static_cast<I16>(rows), 7, 40, -24);
    const std::vector<SliceCall> calls = slices.Take();
    const int per = rows / threads;
    if (per <= 0) {
      EXPECT_EQ(result, 1000 + rows) << "an unsplit call hands back the routine's result";
      ASSERT_EQ(calls.size(), 1u);
      EXPECT_EQ(calls[0].thread, caller);
      EXPECT_EQ(calls[0].args, (std::vector<int64_t>{0x100000, 0x900000, rows, 7, 40, -24}));
      continue;
    }
    EXPECT_EQ(result, 0) << "a split hands back no result";
    ASSERT_EQ(calls.size(), static_cast<size_t>(threads));
    std::set<uint64_t> participants;
    for (int k = 0; k < threads; ++k) {
      const SliceCall &call = calls[static_cast<size_t>(k)];
      const int count = k == threads - 1 ? rows - (threads - 1) * per : per;
      EXPECT_EQ(call.args,
                (std::vector<int64_t>{0x100000 + k * per * 40, 0x900000 - k * per * 24, count, 7, 40, -24}));
      participants.insert(call.thread);
    }
    EXPECT_EQ(calls.back().thread, caller) << "the caller runs the last slice";
    EXPECT_EQ(participants.size(), static_cast<size_t>(threads));
  }
}

// A slice that makes a wrapped call of its own: that call runs unsplit there.
int32_t NestingRoutine(Ptr a, Ptr b, I16 rows, I16 value, I16 stride_a, I16 stride_b) {
  EXPECT_TRUE(SplitInProgress());
  return TwoPlanes::Run(&RecordTwoPlanes, a, b, rows, value, stride_a, stride_b);
}

TEST_P(RowSplitTest, AWrappedCallFromInsideASliceRunsUnsplitThere) {
  const int rows = 5 * Threads() + 1;
  TwoPlanes::Run(&NestingRoutine, P(0x100000), P(0x200000), static_cast<I16>(rows), 1, 10, 10);
  const std::vector<SliceCall> calls = slices.Take();
  ASSERT_EQ(calls.size(), static_cast<size_t>(Threads()));
  std::set<uint64_t> participants;
  for (const SliceCall &call : calls) participants.insert(call.thread);
  EXPECT_EQ(participants.size(), calls.size()) << "each inner call on its own slice's thread";
  EXPECT_EQ(calls.back().args[2], rows - (Threads() - 1) * 5) << "with its slice's rows";
}

// Each participant runs once per split, however many splits follow.
std::atomic<int> runs;
void CountRun(WorkerBlock *) { runs.fetch_add(1); }

TEST_P(RowSplitTest, EveryParticipantRunsOnceASplitAndTheClaimIsExclusive) {
  ASSERT_EQ(ClaimPool(), Threads());
  EXPECT_EQ(ClaimPool(), 0) << "held";
  for (int round = 1; round <= 200; ++round) {
    runs.store(0);
    RunSlices(&CountRun);
    ASSERT_EQ(runs.load(), Threads()) << "round " << round;
  }
  ReleasePool();
}

// Scratch buffers of the slices' own, up to a cap of four participants.
int32_t UseScratch(Ptr plane, I16 rows, I16 stride, Ptr scratch) {
  std::memset(scratch, static_cast<int>(rows), 8192);  // the whole buffer is the slice's own
  slices.Add({N(plane), rows, stride, N(scratch)});
  return 0;
}
using Scratch =
    RowSplit<int32_t(Ptr, I16, I16, Ptr), Rows<2>, Plane<1, 3>, SliceScratch<4, 8192>, AtMostThreads<4>>;

TEST_P(RowSplitTest, ScratchBuffersAreTheSlicesOwnUpToTheCap) {
  std::vector<unsigned char> callers(8192);
  Scratch::Run(&UseScratch, P(0x1000), 40, 1, callers.data());
  const std::vector<SliceCall> calls = slices.Take();
  ASSERT_EQ(calls.size(), Threads() <= 4 ? static_cast<size_t>(Threads()) : 1u);
  EXPECT_EQ(calls.back().args[3], N(callers.data())) << "the last slice keeps the caller's buffer";
  for (size_t k = 1; k + 1 < calls.size(); ++k)
    EXPECT_EQ(calls[k].args[3] - calls[0].args[3], 8192 * int64_t(k));
}

INSTANTIATE_TEST_SUITE_P(Threads, RowSplitTest, ::testing::Values(2, 3, 4, 8, 70));

}  // namespace
}  // namespace rowfork::testing
