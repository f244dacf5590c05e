// The filter suite through the host's own table: every described row, and the
// slots that do more than split: slot 0 names the offset table that slot 11
// brings up to date before it splits, slot 31 splits on at most four threads,
// slots 38 and 41 chain three routines of which only the last splits.
#include <gtest/gtest.h>

#include "host/rows/filt_rows.h"
#include "host/slot_table.h"
#include "host/suites/filt_routines.h"

namespace lumora::testing {
namespace {

constexpr uint32_t kCore = Code("core");
using Slot0 = int32_t (*)(U8, Ptr, I32, I32);
using TwoPlaneCall = TwoPlanes *;

class FiltSlices : public TableTest<kFiltRows> {
 protected:
  void PrepareSuites() override {
    TableTest::PrepareSuites();
    kFiltOffsetTableRow.record(*suites);
    suites->SetSlot(kFilt, 0, &RecordingRoutine<kFilt, 0, 1000, U8, Ptr, I32, I32>);
    suites->SetSlot(kFilt, 29, &RecordingRoutine<kFilt, 29, 29, Ptr, Ptr, I16, I16, I16, I16>);
    suites->SetSlot(kCore, 8, &RecordingRoutine<kCore, 8, 8>);
  }
  template <typename F = TwoPlaneCall>
  F Live(int slot) {
    return reinterpret_cast<F>(suites->Table(kFilt)[slot]);
  }
  // Displacements (row, column) of entries 0 to 3, linear offsets and stride junk.
  KernelTable table{{{-1, 2, {}, 0}, {0, -1, {}, 0}, {2, 0, {}, 0}, {-3, -4, {}, 0}}, 0x5A5A5A5A};
  std::vector<int32_t> Linear() {
    std::vector<int32_t> offsets;
    for (int i = 0; i < table.Size(); ++i) offsets.push_back(table.Entry(i).linear);
    return offsets;
  }
};

TEST_F(FiltSlices, EverySlotAtEveryThreadCount) {
  ExpectEverySlice();
  AtEachThreadCount([&](int threads) {
    for (const SliceCase &c : kSliceCases)
      ExpectSlices(kFiltOffsetTableRow, suites->Table(kFilt), c, threads);
  });
}

TEST_F(FiltSlices, TheWorkedExamples) {
  if (!StartOn(2)) GTEST_SKIP() << "needs two processors";
  // A two-plane slot, 7 rows: 3 and 4, the second slice 3 strides on.
  EXPECT_EQ(Slices(5, {0x100000, 0x200000, 7, -5, 40, -24}),
            (std::vector<Numbers>{{0x100000, 0x200000, 3, -5, 40, -24},
                                  {0x100000 + 120, 0x200000 - 72, 4, -5, 40, -24}}));
  // Element runs: 65,535 bytes as 32,767 and 32,768; 9 16-bit elements as 4 and 5, 8 bytes on.
  EXPECT_EQ(Slices(43, {0x100000, 65535}),
            (std::vector<Numbers>{{0x100000, 32767}, {0x100000 + 32767, 32768}}));
  EXPECT_EQ(Slices(44, {0x100000, 9, 3, -4}),
            (std::vector<Numbers>{{0x100000, 4, 3, -4}, {0x100000 + 8, 5, 3, -4}}));
  // Slot 45, origin 10 and 9 rows: 4 rows from 10, 5 from 14.
  EXPECT_EQ(Slices(45, {0x100000, 9, 4, 100, 0x500000, 0x600000, 10, -2}),
            (std::vector<Numbers>{{0x100000, 4, 4, 100, 0x500000, 0x600000, 10, -2},
                                  {0x100000 + 400, 5, 4, 100, 0x500000, 0x600000, 14, -2}}));
  // Slot 51: each plane by rows * argument 7 * its own factor (3 and -2).
  EXPECT_EQ(Slices(51, {0x100000, 0x200000, 3, -2, 9, 5, 16, 6, 0x700000}),
            (std::vector<Numbers>{{0x100000, 0x200000, 3, -2, 4, 5, 16, 6, 0x700000},
                                  {0x100000 + 192, 0x200000 - 128, 3, -2, 5, 5, 16, 6, 0x700000}}));
  // Slot 71, 100,000 rows: two slices of 50,000.
  EXPECT_EQ(Slices(71, {0x100000, 0x200000, 0x300000, 100000, 1, 3, -2, 8, 9, 10, 11}),
            (std::vector<Numbers>{
                {0x100000, 0x200000, 0x300000, 50000, 1, 3, -2, 8, 9, 10, 11},
                {0x100000 + 150000, 0x200000 - 100000, 0x300000 - 100000, 50000, 1, 3, -2, 8, 9, 10, 11}}));
  // Slot 63, stride 5 and 3 rows a slice: the 16-bit plane 0, 14 and 30 bytes in.
  if (!StartOn(3)) return;
  std::vector<int64_t> second_planes;
  for (const Numbers &slice : Slices(63, {0x100000, 0x200000, 9, 7, 5, 1, 2, 3, 4, 5, 6, 7, 8}))
    second_planes.push_back(slice[1] - 0x200000);
  EXPECT_EQ(second_planes, (std::vector<int64_t>{0, 14, 30}));
}

TEST_F(FiltSlices, SlotThirtyOneRunsUnsplitOnFiveThreads) {
  if (!StartOn(5)) GTEST_SKIP() << "needs five processors";
  const Numbers args = {0x100000, 0x200000, 40, 6, 10, -10, 99, 0x300000};
  EXPECT_EQ(Slices(31, args), std::vector<Numbers>{args});
}

// ---- the offset table ----

TEST_F(FiltSlices, SlotZeroNamesTheTableThatSlotElevenBringsUpToDate) {
  if (!StartOn(2)) GTEST_SKIP() << "needs two processors";
  EXPECT_EQ(Live(11)(nullptr, nullptr, 4, 0, 10, 10), 0) << "before any table is named, the split goes on";
  EXPECT_EQ(Live<Slot0>(0)(200, table.Handle(), -7, 0x12345678), 1000) << "the host's result";
  EXPECT_EQ(CallLog::Take().back().args, (Numbers{200, AsNumber(table.Handle()), -7, 0x12345678}));
  Live(11)(nullptr, nullptr, 10, 0, 40, 1000);
  EXPECT_EQ(Linear(), (std::vector<int32_t>{-38, -1, 80, -124})) << "the first stride alone enters the table";
  EXPECT_EQ(table.Header().stride, 40);
  table.Entry(2).linear = 12345;  // a stride already current is not recomputed
  Live(11)(nullptr, nullptr, 10, 0, 40, -8);
  EXPECT_EQ(table.Entry(2).linear, 12345);
  EXPECT_EQ(Live(11)(nullptr, nullptr, 1, 0, -6, 2), kRecordedResult) << "a new stride, unsplit";
  EXPECT_EQ(Linear(), (std::vector<int32_t>{8, -1, -12, 14}));
  EXPECT_EQ(table.Header().stride, -6);
  table.Header().last = 0;  // the last index counts entries from 0: one entry
  Live(11)(nullptr, nullptr, 4, 0, 10, 10);
  EXPECT_EQ(Linear(), (std::vector<int32_t>{-8, -1, -12, 14}));
  table.Header().last = -1;  // none, but the stride is taken
  Live(11)(nullptr, nullptr, 4, 0, 20, 10);
  EXPECT_EQ(Linear(), (std::vector<int32_t>{-8, -1, -12, 14}));
  EXPECT_EQ(table.Header().stride, 20);
  void *no_table = nullptr;
  Live<Slot0>(0)(0, &no_table, 0, 0);
  CallLog::Clear();
  Live(11)(nullptr, nullptr, 4, 0, 30, 10);
  EXPECT_EQ(CallLog::Take().size(), 2u) << "a handle to no table: the split goes on";
}

// ---- the chained slots ----

TEST_F(FiltSlices, ChainedSlotsRunTwentyNineThenCoreEightThenTheirPartnerSplit) {
  ASSERT_EQ(StartUp(), kResultSuccess);
  for (auto [slot, partner] : {std::pair{38, 37}, std::pair{41, 40}}) {
    CallLog::Clear();
    EXPECT_EQ(Live(slot)(nullptr, nullptr, 10, 3, 20, -30), 0) << "the split's result";
    const auto calls = CallLog::Take();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(std::pair(calls[0].slot, calls[0].args), std::pair(29, Numbers{0, 0, 10, 3, 20, -30}));
    EXPECT_EQ(calls[0].thread, CurrentThreadTag());
    EXPECT_EQ(std::pair(calls[1].suite, calls[1].slot), std::pair(kCore, 8));
    for (size_t k : {2u, 3u})
      EXPECT_EQ(std::pair(calls[k].slot, calls[k].args[2]), std::pair(partner, int64_t{5}));
    EXPECT_EQ(Live(slot)(nullptr, nullptr, 1, 3, 20, -30), kRecordedResult) << "the third call's result";
  }
}

// A routine that calls other wrapped slots from inside its slice: the chain,
// slot 0, and (on the caller's slice only, so that no two slices write the
// table at once) slot 11 with a new stride.
Routine *live_filt;
void *nested_handle;
uint64_t caller_thread;
int32_t CallsNestedSlots(Ptr a, Ptr b, I16 rows, I16 value, I16 sa, I16 sb) {
  reinterpret_cast<TwoPlaneCall>(live_filt[38])(a, b, rows, value, sa, sb);
  CallLog::Add(kFilt, 0, {reinterpret_cast<Slot0>(live_filt[0])(1, nested_handle, 2, 3)});
  if (CurrentThreadTag() == caller_thread) reinterpret_cast<TwoPlaneCall>(live_filt[11])(a, b, 8, 0, 50, 1);
  return 0;
}

TEST_F(FiltSlices, InsideASliceWrappersRunUnsplitAndKeepTheirSideSteps) {
  if (!CanChooseProcessors() && MachineProcessors() != 2) GTEST_SKIP() << "needs two processors";
  suites->SetSlot(kFilt, 5, &CallsNestedSlots);
  live_filt = suites->Table(kFilt);
  nested_handle = table.Handle();
  caller_thread = CurrentThreadTag();
  ASSERT_EQ(StartUp(), kResultSuccess);
  Live(5)(nullptr, nullptr, 6, 3, 20, 40);
  std::vector<Numbers> nested37, nested11, slot0;
  for (const RecordedCall &call : CallLog::Take()) {
    if (call.slot == 37) nested37.push_back(call.args);
    if (call.slot == 11) nested11.push_back(call.args);
    if (call.slot == 0) slot0.push_back(call.args);
  }
  std::sort(nested37.begin(), nested37.end());
  std::sort(slot0.begin(), slot0.end());
  EXPECT_EQ(nested37, (std::vector<Numbers>{{0, 0, 3, 3, 20, 40}, {60, 120, 3, 3, 20, 40}}))
      << "each slice's chain ends in one unsplit call with that slice's rows";
  EXPECT_EQ(nested11, (std::vector<Numbers>{{60, 120, 8, 0, 50, 1}}));
  const Numbers forwarded = {1, AsNumber(table.Handle()), 2, 3};
  EXPECT_EQ(slot0, (std::vector<Numbers>{forwarded, forwarded, {1000}, {1000}}))
      << "slot 0 forwards, and hands back the host's result, inside a split";
  EXPECT_EQ(table.Header().stride, 50) << "slot 11 brings the table up to date inside a split too";
  EXPECT_EQ(table.Entry(2).linear, 100);
}

// ---- split output against unsplit output ----

using FiltOutput = TableTest<kFiltRows, &PutFiltRoutines>;

TEST_F(FiltOutput, EverySlotSplitWritesWhatItWritesUnsplit) {
  ExpectEveryOutput();
  // The chained slots, against the host's own routines of slots 38 and 41.
  const TableRow chained = Row<kFilt, Slots<38, 41>, TwoPlanes>().Rows(3).Plane(1, 5).Plane(2, 6);
  AtEachThreadCount([&](int) {
    HostSuites reference;
    PutFiltRoutines(reference);
    for (const OutputCase &c : OutputCases())
      ExpectSameOutput(chained, suites->Table(kFilt), reference.Table(kFilt), c);
  });
}

// Slot 11's routine sums its first plane at the table's offsets, trusting
// that they were computed for its stride: split, it finds them so.
TEST_F(FiltOutput, KernelSumsFindTheirTableReadyForTheirStride) {
  const std::vector<KernelEntry> cross = {
      {-1, 0, {}, 0}, {0, -1, {}, 0}, {0, 0, {}, 0}, {0, 1, {}, 0}, {1, 0, {}, 0}};
  AtEachThreadCount([&](int) {
    HostSuites reference;
    PutFiltRoutines(reference);
    for (const OutputCase &c : OutputCases()) {
      if (c.rows > 31 || c.origin > 0) continue;
      KernelTable stale(cross, 0x11111111), ready(cross, 0x11111111);
      // The plane's rows one row and one column in from each edge of their buffer.
      const OutputCall call(kFiltOffsetTableRow, {static_cast<I16>(c.rows + 2), 0, c.stride});
      std::vector<GuardedBuffer> split = call.planes, unsplit = call.planes;
      const auto run = [&](Routine *table, KernelTable &kernel, std::vector<GuardedBuffer> &buffers) {
        reinterpret_cast<Slot0>(table[0])(0, kernel.Handle(), 0, 0);
        Numbers args = call.ArgsFor(buffers);
        Arg(args, 1) += Arg(args, 5) + 1, Arg(args, 2) += Arg(args, 6) + 1, Arg(args, 3) = c.rows;
        kFiltOffsetTableRow.call(table[11], args);
      };
      ready.ComputeFor(call.strides[0]);
      run(suites->Table(kFilt), stale, split);
      run(reference.Table(kFilt), ready, unsplit);
      ASSERT_TRUE(split == unsplit) << c.rows << " rows, stride " << c.stride;
      for (int i = 0; i < stale.Size(); ++i) EXPECT_EQ(stale.Entry(i).linear, ready.Entry(i).linear);
    }
  });
}

}  // namespace
}  // namespace lumora::testing
