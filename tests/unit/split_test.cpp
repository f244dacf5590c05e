// The split vocabulary and engine. First the arithmetic at its edges: how a
// count divides among the participants and how each argument moves for a
// slice (16- and 32-bit counts, signed and unsigned, the chunk rules,
// negative strides, coordinates that wrap), computed as a split computes it
// without running the slices. Then the engine at work, up to 70
// participants: where each slice runs and what it receives, calls that stay
// unsplit, one run of every participant per split. (The host tests run every
// row of every suite, nested calls and scratch buffers included.)
#include "pool/split.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <iterator>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

#include "host/thread_tag.h"
#include "unit/module_fixture.h"

namespace rowfork::testing {
namespace {

int64_t N(const void *pointer) { return static_cast<int64_t>(reinterpret_cast<intptr_t>(pointer)); }
Ptr P(intptr_t address) { return reinterpret_cast<Ptr>(address); }

// ---- band arithmetic ----

// Rows per slice and the last slice's rows, or {0, 0} when the count does
// not divide.
std::pair<int32_t, int32_t> Shares(Bands bands) {
  return bands.Splits() ? std::pair{bands.per_slice, bands.last} : std::pair{0, 0};
}
constexpr std::pair<int32_t, int32_t> kUnsplit{0, 0};

// The worked examples first; then counts too small or negative, rows aligned
// to a stride, and the chunk rules, where a share of eight may leave the last
// slice nothing or reach past the run.
TEST(Bands, CountsDivideWithTheRestOnTheLastSlice) {
  const struct {
    Bands bands;
    std::pair<int32_t, int32_t> shares;
  } cases[] = {{DivideRows(10, 4), {2, 4}},
               {DivideRows(7, 2), {3, 4}},
               {DivideRows(4, 4), {1, 1}},
               {DivideRows(3, 4), kUnsplit},
               {DivideRows(-32768, 2), kUnsplit},
               {DivideAligned(100, 2, 16), {48, 52}},
               {DivideAligned(100, 2, -16), {48, 52}},
               {DivideAligned(100, 2, 0), {50, 50}},
               {DivideAligned(100, 2, 1024), kUnsplit},
               {DivideInMultiples(7, 2, 4), kUnsplit},
               {DivideInMultiples(20, 2, 4), {8, 12}},
               {DivideInEights(8, 2), kUnsplit},
               {DivideInEights(9, 2), {8, 1}},
               {DivideInEights(16, 3), kUnsplit},
               {DivideInEights(12, 3), kUnsplit},
               {DivideInEights(17, 3), {8, 1}},
               {DivideInEights(60, 8), {8, 4}},
               {DivideInEights(-40, 3), kUnsplit}};
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(Shares(cases[i].bands), cases[i].shares) << "case " << i;
}

TEST(Bands, OffsetsArePointerWideAndWrapOnTheThirtyTwoBitTarget) {
  EXPECT_EQ(RowOffset(65536, 65536), static_cast<intptr_t>(int64_t{1} << 32));
  EXPECT_EQ(RowOffset(32767, int32_t{-100000}, int16_t{3}), static_cast<intptr_t>(int64_t{-9830100000}));
}

// ---- slice arguments ----

// The arguments of each slice among `threads` participants; the caller's
// alone when the call does not split.
template <typename Declaration, typename In>
std::vector<In> Slices(const In &in, int threads) {
  using Splitter = typename Declaration::Splitter;
  const Bands bands = Splitter::Divide(in, threads);
  if (!bands.Splits()) return {in};
  std::vector<In> slices;
  for (int k = 0; k < threads; ++k) {
    slices.push_back(Splitter::SliceArgs(in, {k, threads, bands.First(k), bands.Count(k, threads), nullptr}));
  }
  return slices;
}

using Origins = RowSplit<int32_t(Ptr, Ptr, I16, I16, I16, I16), Rows<5>, Plane<1, 6>, Optional<Plane<2, 6>>,
                         Origin<3>, OriginBack<4>>;

struct Record {
  int16_t rows;
};
using Records = RecordSplit<Record, RowsField<&Record::rows>>;

// A null record, like a null plane, is passed on as it is: the call runs
// unsplit.
TEST(SliceArguments, RowOriginsMoveAndWrapAndNullPlanesStayNull) {
  EXPECT_EQ(Records::Run([](Ptr record) { return record == nullptr ? 9 : 0; }, nullptr), 9);
  EXPECT_EQ(Slices<Origins>(Origins::Args{P(0x1000), nullptr, 100, 20, 10, 8}, 3),
            (std::vector<Origins::Args>{{P(0x1000), nullptr, 100, 20, 3, 8},
                                        {P(0x1018), nullptr, 103, 17, 3, 8},
                                        {P(0x1030), nullptr, 106, 14, 4, 8}}));
  EXPECT_EQ(Slices<Origins>(Origins::Args{P(0x1000), P(0x8000), 32765, -32768, 12, -2}, 3),
            (std::vector<Origins::Args>{{P(0x1000), P(0x8000), 32765, -32768, 4, -2},
                                        {P(0x0FF8), P(0x7FF8), -32767, 32764, 4, -2},
                                        {P(0x0FF0), P(0x7FF0), -32763, 32760, 4, -2}}));
}

using Runs = RowSplit<int32_t(Ptr, Ptr, Ptr, U16, I32, I16), Rows<4>, Run<1, 1>, Run<2, 2>, Plane<3, 5, 6>>;
using Even = RowSplit<int32_t(Ptr, Ptr, I32, I32), Rows<3>, EvenPlane<1, 4>, Plane<2, 4>>;

TEST(SliceArguments, UnsignedAndThirtyTwoBitCountsElementRunsAndEvenPlanes) {
  EXPECT_EQ(Slices<Runs>(Runs::Args{P(0x10000), P(0x20000), P(0x30000), 65535, 100, -3}, 2),
            (std::vector<Runs::Args>{
                {P(0x10000), P(0x20000), P(0x30000), 32767, 100, -3},
                {P(0x10000 + 32767), P(0x20000 + 2 * 32767), P(0x30000 - 300 * 32767), 32768, 100, -3}}));
  EXPECT_EQ(Slices<Even>(Even::Args{P(0x10000), P(0x20000), 100000, 2}, 2),
            (std::vector<Even::Args>{{P(0x10000), P(0x20000), 50000, 2},
                                     {P(0x10000 + 100000), P(0x20000 + 100000), 50000, 2}}));
  // Offsets of 16-bit planes are rounded down to even bytes: toward minus
  // infinity for a negative stride.
  EXPECT_EQ(Slices<Even>(Even::Args{P(0x10000), P(0x20000), 9, -5}, 3),
            (std::vector<Even::Args>{{P(0x10000), P(0x20000), 3, -5},
                                     {P(0x10000 - 16), P(0x20000 - 15), 3, -5},
                                     {P(0x10000 - 30), P(0x20000 - 30), 3, -5}}));
}

// ---- the engine at work ----

struct SliceCall {
  uint64_t thread;
  std::vector<int64_t> args;
  bool operator<(const SliceCall &other) const { return args[0] < other.args[0]; }
};

// The slices the recording routine has seen, from any thread.
std::mutex log_mutex;
std::vector<SliceCall> slice_log;

int32_t RecordTwoPlanes(Ptr a, Ptr b, I16 rows, I16 value, I16 stride_a, I16 stride_b) {
  std::lock_guard<std::mutex> lock(log_mutex);
  slice_log.push_back({lumora::CurrentThreadTag(), {N(a), N(b), rows, value, stride_a, stride_b}});
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
    // The slices in the order of their rows.
    std::vector<SliceCall> calls = std::exchange(slice_log, {});
    std::sort(calls.begin(), calls.end());
    // An unsplit call is one slice of all the rows, with the routine's result.
    const bool splits = rows / threads > 0;
    const int parts = splits ? threads : 1, per = splits ? rows / threads : 0;
    EXPECT_EQ(result, splits ? 0 : 1000 + rows) << "a split hands back no result";
    ASSERT_EQ(calls.size(), static_cast<size_t>(parts));
    std::set<uint64_t> participants;
    for (int k = 0; k < parts; ++k) {
      const SliceCall &call = calls[static_cast<size_t>(k)];
      const int count = k == parts - 1 ? rows - (parts - 1) * per : per;
      EXPECT_EQ(call.args,
                (std::vector<int64_t>{0x100000 + k * per * 40, 0x900000 - k * per * 24, count, 7, 40, -24}));
      participants.insert(call.thread);
    }
    EXPECT_EQ(calls.back().thread, caller) << "the caller runs the last slice";
    EXPECT_EQ(participants.size(), static_cast<size_t>(parts));
  }
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

INSTANTIATE_TEST_SUITE_P(Threads, RowSplitTest, ::testing::Values(2, 3, 4, 8, 70));

}  // namespace
}  // namespace rowfork::testing
