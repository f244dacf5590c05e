// The filter suite through the host's own table: what each slice of every
// wrapped slot receives, with recording routines in the host's slots.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "host/filt_signatures.h"
#include "host/host_fixture.h"
#include "host/suites/filt_routines.h"
#include "host/thread_tag.h"

namespace lumora::testing {
namespace {

constexpr int kTwoPlaneSlots[] = {5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 22, 23, 27, 28, 37, 40, 46, 47};

// Every listed slot records its calls and returns 1000 + its slot number.
template <typename Fn, int... Slots>
struct Recorders;
template <typename... Ts, int... Slots>
struct Recorders<int32_t(Ts...), Slots...> {
  static void Put(HostSuites &suites) {
    (suites.SetSlot(kFilt, Slots, &RecordingRoutine<kFilt, Slots, 1000 + Slots, Ts...>), ...);
  }
};

void *P(intptr_t address) { return reinterpret_cast<void *>(address); }
int64_t N(const void *pointer) { return static_cast<int64_t>(reinterpret_cast<intptr_t>(pointer)); }

using Args = std::vector<int64_t>;

// The calls of one split, ordered by argument `by`: slot, arguments and
// threads (every slice but the last on a worker, the last on the caller).
void ExpectSlices(std::vector<RecordedCall> calls, int slot, size_t by, const std::vector<Args> &expected) {
  std::stable_sort(calls.begin(), calls.end(),
                   [by](const RecordedCall &a, const RecordedCall &b) { return a.args[by] < b.args[by]; });
  ASSERT_EQ(calls.size(), expected.size()) << "slot " << slot;
  std::set<uint64_t> workers;
  for (size_t k = 0; k < calls.size(); ++k) {
    EXPECT_EQ(calls[k].suite, kFilt);
    EXPECT_EQ(calls[k].slot, slot) << "each slot calls its own saved routine";
    EXPECT_EQ(calls[k].args, expected[k]) << "slot " << slot << ", slice " << k;
    if (k + 1 < calls.size()) workers.insert(calls[k].thread);
  }
  if (calls.size() > 1) {
    EXPECT_EQ(calls.back().thread, CurrentThreadTag()) << "the last slice runs on the caller";
    EXPECT_EQ(workers.size(), calls.size() - 1) << "one worker per other slice";
    EXPECT_EQ(workers.count(CurrentThreadTag()), 0u);
  }
}

class FiltSlices : public ModuleTest {
 protected:
  void PrepareSuites() override {
    Recorders<TwoPlaneFn, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 22, 23, 27, 28, 29, 37, 38, 40, 41, 46,
              47>::Put(*suites);
    Recorders<KernelFn, 0>::Put(*suites);
    Recorders<FourPlaneFn, 19>::Put(*suites);
    Recorders<ScratchFn, 31>::Put(*suites);
    Recorders<TwoPlaneValueFn, 33, 34, 54>::Put(*suites);
    Recorders<ByteRunFn, 43>::Put(*suites);
    Recorders<HalfRunFn, 44>::Put(*suites);
    Recorders<HalfRunUFn, 48, 49>::Put(*suites);
    Recorders<OriginFn, 45>::Put(*suites);
    Recorders<TwoOriginFn, 50>::Put(*suites);
    Recorders<FactorFn, 51>::Put(*suites);
    Recorders<Wide13Fn, 63, 64, 69>::Put(*suites);
    Recorders<Wide18Fn, 65, 66, 70>::Put(*suites);
    Recorders<ThreeWideFn, 71>::Put(*suites);
    Recorders<FourWideFn, 72>::Put(*suites);
    suites->SetSlot(kCore, 8, &RecordingRoutine<kCore, 8, 8>);
  }
  template <typename Fn>
  Fn *Live(int slot) {
    return reinterpret_cast<Fn *>(suites->Table(kFilt)[slot]);
  }
  void StartAt(int threads) {
    UseProcessors(threads);
    Reload();
    ASSERT_EQ(StartUp(), kResultSuccess);
    CallLog::Clear();
  }
};

TEST_F(FiltSlices, TheInstallerReplacesExactlyItsFortyTwoSlots) {
  std::vector<Routine> before(suites->Table(kFilt), suites->Table(kFilt) + 73);
  ASSERT_EQ(StartUp(), kResultSuccess);
  std::vector<int> replaced;
  for (int slot = 0; slot < 73; ++slot) {
    if (suites->Table(kFilt)[slot] != before[static_cast<size_t>(slot)]) replaced.push_back(slot);
  }
  EXPECT_EQ(replaced, (std::vector<int>{0,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 19, 22,
                                        23, 27, 28, 31, 33, 34, 37, 38, 40, 41, 43, 44, 45, 46,
                                        47, 48, 49, 50, 51, 54, 63, 64, 65, 66, 69, 70, 71, 72}));
}

// ---- the shared two-plane splitter and its relatives ----

TEST_F(FiltSlices, TwoPlaneSlotsGiveSevenRowsAsThreeAndFour) {
  ASSERT_EQ(StartUp(), kResultSuccess);
  for (int slot : kTwoPlaneSlots) {  // slot 11 without a recorded table splits like the rest
    EXPECT_EQ(Live<TwoPlaneFn>(slot)(P(0x100000), P(0x200000), 7, -5, 40, -24), 0) << "no result when split";
    ExpectSlices(
        CallLog::Take(), slot, 0,
        {{0x100000, 0x200000, 3, -5, 40, -24}, {0x100000 + 3 * 40, 0x200000 - 3 * 24, 4, -5, 40, -24}});
  }
}

TEST_F(FiltSlices, FewerRowsThanThreadsRunUnsplitAndHandBackTheResult) {
  ASSERT_EQ(StartUp(), kResultSuccess);
  for (int slot : kTwoPlaneSlots) {
    EXPECT_EQ(Live<TwoPlaneFn>(slot)(P(0x100000), P(0x200000), 1, -5, 40, -24), 1000 + slot);
    ExpectSlices(CallLog::Take(), slot, 0, {{0x100000, 0x200000, 1, -5, 40, -24}});
    EXPECT_EQ(Live<TwoPlaneFn>(slot)(P(0x100000), P(0x200000), -6, -5, 40, -24), 1000 + slot);
    ExpectSlices(CallLog::Take(), slot, 0, {{0x100000, 0x200000, -6, -5, 40, -24}});
  }
  EXPECT_EQ(Live<ByteRunFn>(43)(P(0x100000), 1), 1043);
  EXPECT_EQ(Live<Wide13Fn>(69)(P(0x100000), P(0x200000), 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11), 1069);
  EXPECT_EQ(Live<FourWideFn>(72)(P(1), P(2), P(3), P(4), 0, 6, 7, 8, 9, 10, 11, 12), 1072);
  EXPECT_EQ(CallLog::Take().size(), 3u);
}

TEST_F(FiltSlices, FourPlanesMoveEachByItsOwnStride) {
  ASSERT_EQ(StartUp(), kResultSuccess);
  Live<FourPlaneFn>(19)(P(0x100000), P(0x200000), P(0x300000), P(0x400000), 9, 77, 10, -20, 30, -40);
  ExpectSlices(CallLog::Take(), 19, 0,
               {{0x100000, 0x200000, 0x300000, 0x400000, 4, 77, 10, -20, 30, -40},
                {0x100000 + 40, 0x200000 - 80, 0x300000 + 120, 0x400000 - 160, 5, 77, 10, -20, 30, -40}});
}

TEST_F(FiltSlices, SeventhArgumentsAndRowOriginsReachEverySlice) {
  ASSERT_EQ(StartUp(), kResultSuccess);
  for (int slot : {33, 34, 54}) {
    Live<TwoPlaneValueFn>(slot)(P(0x100000), P(0x200000), 11, 3, 16, 32, -9);
    ExpectSlices(CallLog::Take(), slot, 0,
                 {{0x100000, 0x200000, 5, 3, 16, 32, -9}, {0x100000 + 80, 0x200000 + 160, 6, 3, 16, 32, -9}});
  }
  // Slot 45's worked example: origin 10, 9 rows.
  Live<OriginFn>(45)(P(0x100000), 9, 4, 100, P(0x500000), P(0x600000), 10, -2);
  ExpectSlices(CallLog::Take(), 45, 0,
               {{0x100000, 4, 4, 100, 0x500000, 0x600000, 10, -2},
                {0x100000 + 400, 5, 4, 100, 0x500000, 0x600000, 14, -2}});
  Live<TwoOriginFn>(50)(P(0x100000), P(0x200000), 9, 4, 100, -50, P(0x500000), P(0x600000), -3, 7);
  ExpectSlices(CallLog::Take(), 50, 0,
               {{0x100000, 0x200000, 4, 4, 100, -50, 0x500000, 0x600000, -3, 7},
                {0x100000 + 400, 0x200000 - 200, 5, 4, 100, -50, 0x500000, 0x600000, 1, 7}});
  // Origins are 16-bit row coordinates.
  Live<OriginFn>(45)(P(0x100000), 9, 4, 1, P(0), P(0), 32765, 0);
  ExpectSlices(CallLog::Take(), 45, 0,
               {{0x100000, 4, 4, 1, 0, 0, 32765, 0}, {0x100004, 5, 4, 1, 0, 0, -32767, 0}});
}

TEST_F(FiltSlices, StrideTimesFactorMovesEachPlaneByItsOwnFactor) {
  ASSERT_EQ(StartUp(), kResultSuccess);
  Live<FactorFn>(51)(P(0x100000), P(0x200000), 3, -2, 9, 5, 16, 6, P(0x700000));
  ExpectSlices(CallLog::Take(), 51, 0,
               {{0x100000, 0x200000, 3, -2, 4, 5, 16, 6, 0x700000},
                {0x100000 + 4 * 16 * 3, 0x200000 - 4 * 16 * 2, 3, -2, 5, 5, 16, 6, 0x700000}});
}

// ---- element runs ----

TEST_F(FiltSlices, ElementRunsDivideTheirCountsSignedOrUnsigned) {
  ASSERT_EQ(StartUp(), kResultSuccess);
  Live<ByteRunFn>(43)(P(0x100000), 65535);
  ExpectSlices(CallLog::Take(), 43, 0, {{0x100000, 32767}, {0x100000 + 32767, 32768}});
  Live<HalfRunFn>(44)(P(0x100000), 9, 3, -4);
  ExpectSlices(CallLog::Take(), 44, 0, {{0x100000, 4, 3, -4}, {0x100000 + 8, 5, 3, -4}});
  EXPECT_EQ(Live<HalfRunFn>(44)(P(0x100000), -9, 3, -4), 1044) << "a negative count runs unsplit";
  EXPECT_EQ(CallLog::Take().size(), 1u);
  for (int slot : {48, 49}) {
    Live<HalfRunUFn>(slot)(P(0x100000), 40001, -1);
    ExpectSlices(CallLog::Take(), slot, 0, {{0x100000, 20000, -1}, {0x100000 + 40000, 20001, -1}});
  }
}

// ---- 32-bit arguments ----

TEST_F(FiltSlices, SixteenBitPlanesMoveByEvenRoundedStrides) {
  ASSERT_EQ(StartUp(), kResultSuccess);
  // Slot 63's worked example: stride 5 and 3 rows per slice put slice 1 14 bytes in, not 15.
  Live<Wide13Fn>(63)(P(0x100000), P(0x200000), 6, 7, 5, 1, 2, 3, 4, 5, 6, 7, 8);
  ExpectSlices(CallLog::Take(), 63, 0,
               {{0x100000, 0x200000, 3, 7, 5, 1, 2, 3, 4, 5, 6, 7, 8},
                {0x100000 + 21, 0x200000 + 14, 3, 7, 5, 1, 2, 3, 4, 5, 6, 7, 8}});
  Live<Wide18Fn>(65)(P(0x100000), P(0x200000), 7, 9, -3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13);
  // -9 bytes round down to -10.
  ExpectSlices(CallLog::Take(), 65, 0,
               {{0x100000, 0x200000, 3, 9, -3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13},
                {0x100000 + 27, 0x200000 - 10, 4, 9, -3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}});
  Live<ThreeWideFn>(71)(P(0x100000), P(0x200000), P(0x300000), 100000, 1, 3, -2, 8, 9, 10, 11);
  ExpectSlices(CallLog::Take(), 71, 0,
               {{0x100000, 0x200000, 0x300000, 50000, 1, 3, -2, 8, 9, 10, 11},
                {0x100000 + 150000, 0x200000 - 100000, 0x300000 - 100000, 50000, 1, 3, -2, 8, 9, 10, 11}});
  Live<FourWideFn>(72)(P(0x100000), P(0x200000), P(0x300000), P(0x400000), 5, 1, 7, 4, 9, 10, 11, 12);
  ExpectSlices(CallLog::Take(), 72, 0,
               {{0x100000, 0x200000, 0x300000, 0x400000, 2, 1, 7, 4, 9, 10, 11, 12},
                {0x100000 + 14, 0x200008, 0x300008, 0x400008, 3, 1, 7, 4, 9, 10, 11, 12}});
  if (!CanChooseProcessors()) return;
  StartAt(3);  // the third slice of the worked example, 30 bytes in
  Live<Wide13Fn>(63)(P(0x100000), P(0x200000), 9, 7, 5, 1, 2, 3, 4, 5, 6, 7, 8);
  auto calls = CallLog::Take();
  ASSERT_EQ(calls.size(), 3u);
  std::vector<int64_t> second_planes;
  for (const RecordedCall &call : calls) second_planes.push_back(call.args[1] - 0x200000);
  std::sort(second_planes.begin(), second_planes.end());
  EXPECT_EQ(second_planes, (std::vector<int64_t>{0, 14, 30}));
}

TEST_F(FiltSlices, ThirtyTwoBitRunsSplitCountsBeyondSixteenBitsExactly) {
  ASSERT_EQ(StartUp(), kResultSuccess);
  // 65,535: a last slice of 32,768; 100,000: slices of 50,000; both beyond 16-bit slice counts.
  for (int32_t count : {65535, 100000}) {
    const int32_t per = count / 2, last = count - per;
    Live<Wide13Fn>(64)(P(0x100000), P(0x200000), count, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13);
    ExpectSlices(CallLog::Take(), 64, 0,
                 {{0x100000, 0x200000, per, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13},
                  {0x100000 + 2 * per, 0x200000 + per, last, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}});
    Live<Wide13Fn>(69)(P(0x100000), P(0x200000), count, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13);
    ExpectSlices(CallLog::Take(), 69, 0,
                 {{0x100000, 0x200000, per, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13},
                  {0x100000 + 2 * per, 0x200000 + 2 * per, last, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}});
    for (int slot : {66, 70}) {
      Live<Wide18Fn>(slot)(P(0x100000), P(0x200000), count, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17,
                           18);
      const int64_t second = slot == 66 ? per : 2 * per;
      ExpectSlices(CallLog::Take(), slot, 0,
                   {{0x100000, 0x200000, per, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18},
                    {0x100000 + 2 * per, 0x200000 + second, last, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15,
                     16, 17, 18}});
    }
    Live<Wide13Fn>(63)(P(0x100000), P(0x200000), count, 2, 4, 6, 7, 8, 9, 10, 11, 12, 13);
    ExpectSlices(CallLog::Take(), 63, 0,
                 {{0x100000, 0x200000, per, 2, 4, 6, 7, 8, 9, 10, 11, 12, 13},
                  {0x100000 + 2 * per, 0x200000 + 4 * per, last, 2, 4, 6, 7, 8, 9, 10, 11, 12, 13}});
  }
}

// ---- the offset table ----

class FiltKernel : public FiltSlices {
 protected:
  // Displacements (row, column) of entries 0 to 3.
  KernelTable table{{{-1, 2, {}, 0}, {0, -1, {}, 0}, {2, 0, {}, 0}, {-3, -4, {}, 0}}, 0x5A5A5A5A};
  std::vector<int32_t> Linear() {
    std::vector<int32_t> offsets;
    for (int i = 0; i < table.Size(); ++i) offsets.push_back(table.Entry(i).linear);
    return offsets;
  }
};

TEST_F(FiltKernel, SlotZeroRecordsTheTableAndForwardsEvenInsideASplit) {
  ASSERT_EQ(StartUp(), kResultSuccess);
  EXPECT_EQ(Live<KernelFn>(0)(200, table.Handle(), -7, 0x12345678), 1000);
  auto calls = CallLog::Take();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].args, (Args{200, N(table.Handle()), -7, 0x12345678}));
  Live<TwoPlaneFn>(11)(P(0x100000), P(0x200000), 1, 0, 100, 3);
  EXPECT_EQ(Linear(), (std::vector<int32_t>{-98, -1, 200, -304}))
      << "the recorded table is brought up to date";
  EXPECT_EQ(table.Header().stride, 100);
}

TEST_F(FiltKernel, TheTableIsRewrittenOnlyWhenTheStrideChanges) {
  ASSERT_EQ(StartUp(), kResultSuccess);
  Live<KernelFn>(0)(0, table.Handle(), 0, 0);
  CallLog::Clear();
  Live<TwoPlaneFn>(11)(P(0x100000), P(0x200000), 10, 0, 40, 1000);
  EXPECT_EQ(Linear(), (std::vector<int32_t>{-38, -1, 80, -124})) << "arg 5 alone enters the table";
  EXPECT_EQ(table.Header().stride, 40);
  ExpectSlices(CallLog::Take(), 11, 0,
               {{0x100000, 0x200000, 5, 0, 40, 1000}, {0x100000 + 200, 0x200000 + 5000, 5, 0, 40, 1000}});

  table.Entry(2).linear = 12345;  // a stride already current is not recomputed
  Live<TwoPlaneFn>(11)(P(0x100000), P(0x200000), 10, 0, 40, -8);
  EXPECT_EQ(table.Entry(2).linear, 12345);

  // A new stride on a call that runs unsplit: rewritten all the same.
  EXPECT_EQ(Live<TwoPlaneFn>(11)(P(0x100000), P(0x200000), 1, 0, -6, 2), 1011);
  EXPECT_EQ(Linear(), (std::vector<int32_t>{8, -1, -12, 14}));
  EXPECT_EQ(table.Header().stride, -6);
}

TEST_F(FiltKernel, TheLastIndexCountsEntriesFromZero) {
  ASSERT_EQ(StartUp(), kResultSuccess);
  Live<KernelFn>(0)(0, table.Handle(), 0, 0);
  CallLog::Clear();
  table.Header().last = 0;
  Live<TwoPlaneFn>(11)(P(0x100000), P(0x200000), 4, 0, 10, 10);
  EXPECT_EQ(Linear(), (std::vector<int32_t>{-8, 0x5A5A5A5A, 0x5A5A5A5A, 0x5A5A5A5A})) << "one entry for 0";
  table.Header().last = -1;
  Live<TwoPlaneFn>(11)(P(0x100000), P(0x200000), 4, 0, 20, 10);
  EXPECT_EQ(Linear(), (std::vector<int32_t>{-8, 0x5A5A5A5A, 0x5A5A5A5A, 0x5A5A5A5A})) << "none for -1";
  EXPECT_EQ(table.Header().stride, 20);
  EXPECT_EQ(CallLog::Take().size(), 4u) << "both calls split";
}

TEST_F(FiltKernel, WithoutATableTheSplitGoesOnAsUsual) {
  ASSERT_EQ(StartUp(), kResultSuccess);
  Live<TwoPlaneFn>(11)(P(0x100000), P(0x200000), 4, 0, 10, 10);  // no slot-0 call yet
  EXPECT_EQ(CallLog::Take().size(), 2u);
  void *no_table = nullptr;
  Live<KernelFn>(0)(0, &no_table, 0, 0);
  Live<TwoPlaneFn>(11)(P(0x100000), P(0x200000), 4, 0, 10, 10);  // a handle to no table
  EXPECT_EQ(CallLog::Take().size(), 3u);
  EXPECT_EQ(table.Header().stride, 0x5A5A5A5A);
}

// ---- slot 31's scratch buffers ----

TEST_F(FiltSlices, SlotThirtyOneGivesEachSliceButTheLastABufferOfItsOwn) {
  std::vector<unsigned char> callers(8192);
  const int64_t caller_buffer = N(callers.data());
  for (int threads : {2, 3, 4}) {
    if (threads > 2 && !CanChooseProcessors()) break;
    SCOPED_TRACE(::testing::Message() << threads << " threads");
    StartAt(threads);
    Live<ScratchFn>(31)(P(0x100000), P(0x200000), static_cast<int16_t>(2 * threads + 1), 6, 10, -10, 99,
                        callers.data());
    auto calls = CallLog::Take();
    ASSERT_EQ(calls.size(), static_cast<size_t>(threads));
    std::sort(calls.begin(), calls.end(),
              [](const RecordedCall &a, const RecordedCall &b) { return a.args[0] < b.args[0]; });
    for (int k = 0; k < threads; ++k) {
      const Args &args = calls[static_cast<size_t>(k)].args;
      EXPECT_EQ(args[0], 0x100000 + 20 * k);
      EXPECT_EQ(args[1], 0x200000 - 20 * k);
      EXPECT_EQ(args[2], k == threads - 1 ? 3 : 2);
      EXPECT_EQ(args[6], 99);
      if (k == threads - 1) {
        EXPECT_EQ(args[7], caller_buffer) << "the last slice keeps the caller's buffer";
      } else {
        EXPECT_NE(args[7], caller_buffer);
        EXPECT_EQ(args[7] - calls[0].args[7], 8192 * k) << "buffers 8,192 bytes apart";
      }
    }
  }
  if (!CanChooseProcessors()) return;
  for (int threads : {5, 8}) {
    StartAt(threads);
    EXPECT_EQ(Live<ScratchFn>(31)(P(0x100000), P(0x200000), 40, 6, 10, -10, 99, callers.data()), 1031);
    ExpectSlices(CallLog::Take(), 31, 0, {{0x100000, 0x200000, 40, 6, 10, -10, 99, caller_buffer}});
  }
}

// ---- the chained slots ----

TEST_F(FiltSlices, ChainedSlotsRunTwentyNineThenCoreEightThenTheirSplitPartner) {
  ASSERT_EQ(StartUp(), kResultSuccess);
  for (int slot : {38, 41}) {
    const int partner = slot == 38 ? 37 : 40;
    EXPECT_EQ(Live<TwoPlaneFn>(slot)(P(0x100000), P(0x200000), 10, 3, 20, -30), 0) << "the split's result";
    auto calls = CallLog::Take();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].slot, 29);
    EXPECT_EQ(calls[0].args, (Args{0x100000, 0x200000, 10, 3, 20, -30}));
    EXPECT_EQ(calls[0].thread, CurrentThreadTag());
    EXPECT_EQ(calls[1].suite, kCore);
    EXPECT_EQ(calls[1].slot, 8);
    ExpectSlices({calls[2], calls[3]}, partner, 0,
                 {{0x100000, 0x200000, 5, 3, 20, -30}, {0x100000 + 100, 0x200000 - 150, 5, 3, 20, -30}});

    EXPECT_EQ(Live<TwoPlaneFn>(slot)(P(0x100000), P(0x200000), 1, 3, 20, -30), 1000 + partner)
        << "the third call's result";
    calls = CallLog::Take();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[2].slot, partner);
  }
}

// A routine that calls other wrapped slots from inside its slice: the chain,
// slot 0, and (on the caller's slice only, so that no two slices write the
// table at once) slot 11 with a new stride.
Routine *live_filt;
void *nested_table_handle;
uint64_t caller_thread;
int32_t CallsNestedSlots(void *a, void *b, int16_t rows, int16_t value, int16_t sa, int16_t sb) {
  CallLog::Add(kFilt, 5, {});
  reinterpret_cast<TwoPlaneFn *>(live_filt[38])(a, b, rows, value, sa, sb);
  const int32_t result = reinterpret_cast<KernelFn *>(live_filt[0])(1, nested_table_handle, 2, 3);
  CallLog::Add(kFilt, 0, {result});
  if (CurrentThreadTag() == caller_thread) reinterpret_cast<TwoPlaneFn *>(live_filt[11])(a, b, 8, 0, 50, 1);
  return 0;
}

class FiltNested : public FiltKernel {
 protected:
  void PrepareSuites() override {
    FiltSlices::PrepareSuites();
    suites->SetSlot(kFilt, 5, &CallsNestedSlots);
    live_filt = suites->Table(kFilt);
    nested_table_handle = table.Handle();
    caller_thread = CurrentThreadTag();
  }
};

TEST_F(FiltNested, InsideASliceWrappersRunUnsplitAndKeepTheirSideSteps) {
  ASSERT_EQ(StartUp(), kResultSuccess);
  Live<TwoPlaneFn>(5)(P(0x100000), P(0x200000), 6, 3, 20, 40);
  const auto calls = CallLog::Take();
  // Per slice: the marker, 29, core 8, 37 unsplit, 0 and 0's result; one unsplit 11.
  ASSERT_EQ(calls.size(), 13u);
  std::vector<Args> nested37, nested11;
  int kernel_calls = 0;
  for (const RecordedCall &call : calls) {
    if (call.slot == 37) nested37.push_back(call.args);
    if (call.slot == 11) nested11.push_back(call.args);
    if (call.slot == 0 && call.args.size() == 4) {
      ++kernel_calls;
      EXPECT_EQ(call.args, (Args{1, N(table.Handle()), 2, 3}));
    }
    if (call.slot == 0 && call.args.size() == 1) {
      EXPECT_EQ(call.args[0], 1000) << "slot 0's result";
    }
  }
  std::sort(nested37.begin(), nested37.end());
  EXPECT_EQ(nested37, (std::vector<Args>{{0x100000, 0x200000, 3, 3, 20, 40},
                                         {0x100000 + 60, 0x200000 + 120, 3, 3, 20, 40}}))
      << "each slice's chain ends in one unsplit call with that slice's rows";
  EXPECT_EQ(kernel_calls, 2) << "slot 0 records and forwards inside a split";
  EXPECT_EQ(nested11, (std::vector<Args>{{0x100000 + 60, 0x200000 + 120, 8, 0, 50, 1}}));
  EXPECT_EQ(table.Header().stride, 50) << "slot 11 updates the table inside a split too";
  EXPECT_EQ(table.Entry(2).linear, 100);
}

}  // namespace
}  // namespace lumora::testing
