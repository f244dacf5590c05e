// What each slice of the selection suite's wrappers receives, through the
// host's own table, with routines that only record their calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "host/host_fixture.h"
#include "host/thread_tag.h"

namespace lumora::testing {
namespace {

constexpr uint32_t kSele = Code("sele");

using V = void *;
using I16 = int16_t;
using I32 = int32_t;
using U8 = uint8_t;

V P(intptr_t address) { return reinterpret_cast<V>(address); }

using Args = std::vector<int64_t>;

class SeleSlices : public ModuleTest {
 protected:
  void PrepareSuites() override {
    suites->SetSlot(kSele, 0, &RecordingRoutine<kSele, 0, 4321, V>);
    suites->SetSlot(kSele, 2, &RecordingRoutine<kSele, 2, 77, V, V, V, V, V, I16, I16, I16, I16, I16>);
    suites->SetSlot(kSele, 13, &RecordingRoutine<kSele, 13, 13, V, V, V, V, V, I16, I16, I16, I16>);
    suites->SetSlot(kSele, 14, &RecordingRoutine<kSele, 14, 14, V, V, V, V, I16, I16, I16, I16>);
    suites->SetSlot(kSele, 15, &RecordingRoutine<kSele, 15, 15, V, V, V, V, I16, I16, I16, I16>);
    suites->SetSlot(kSele, 47, &RecordingRoutine<kSele, 47, 47, V, V, V, V, I16, I16, I16, I16>);
    suites->SetSlot(kSele, 48, &RecordingRoutine<kSele, 48, 48, V, V, V, V, I16, I16, I16, I16>);
    suites->SetSlot(kSele, 16, &RecordingRoutine<kSele, 16, 16, V, V, V, I16, I16, I16, I16>);
    suites->SetSlot(kSele, 17, &RecordingRoutine<kSele, 17, 17, V, V, V, I16, I16, I16, I16>);
    suites->SetSlot(kSele, 18, &RecordingRoutine<kSele, 18, 18, V, V, I16, I16, I16, I16>);
    suites->SetSlot(kSele, 21, &RecordingRoutine<kSele, 21, 21, V, V, I16, I16, I16, I16, I16>);
    suites->SetSlot(kSele, 26, &RecordingRoutine<kSele, 26, 26, V, I16, I16, I32>);
    suites->SetSlot(kSele, 27, &RecordingRoutine<kSele, 27, 27, V, I16, I16, I32>);
    suites->SetSlot(kSele, 32, &RecordingRoutine<kSele, 32, 32, V, I16, I16, I16, I16, I16>);
    suites->SetSlot(kSele, 35, &RecordingRoutine<kSele, 35, 35, V, V, I16, I16, I32, I32, U8>);
    suites->SetSlot(kSele, 41, &RecordingRoutine<kSele, 41, 41, V, V, I16, I16, I16, I16, U8>);
    suites->SetSlot(kSele, 43, &RecordingRoutine<kSele, 43, 43, V, V, I16, I16, I16, I16, U8>);
    suites->SetSlot(kSele, 46,
                    &RecordingRoutine<kSele, 46, 46, V, V, I16, I16, I16, I16, I32, I32, U8, U8, I16>);
    suites->SetSlot(kSele, 49,
                    &RecordingRoutine<kSele, 49, 49, V, V, V, V, I32, I32, I32, I16, I16, I32, I32>);
  }

 public:
  // The live slot `slot`, called with exactly these argument types.
  template <typename... Ts>
  int32_t Call(int slot, Ts... args) {
    return reinterpret_cast<int32_t (*)(Ts...)>(suites->Table(kSele)[slot])(args...);
  }
  // The calls since the last look, in the order of their first argument (a
  // pointer that moves on from slice to slice).
  static std::vector<RecordedCall> Slices() {
    std::vector<RecordedCall> calls = CallLog::Take();
    std::stable_sort(calls.begin(), calls.end(),
                     [](const RecordedCall &x, const RecordedCall &y) { return x.args[0] < y.args[0]; });
    return calls;
  }
};

// One call of a slot at two threads and the two slices it must give.
struct Case {
  std::vector<int> slots;
  std::function<int32_t(SeleSlices &, int)> call;
  Args first, last;
};

TEST_F(SeleSlices, EachSlotMovesItsPlanesAndDividesItsCount) {
  ASSERT_EQ(StartUp(), kResultSuccess);
  const Case cases[] = {
      {{13},
       [](SeleSlices &t, int s) {
         return t.Call<V, V, V, V, V, I16, I16, I16, I16>(s, P(1000), P(2000), P(3000), P(4000), P(9000), 7,
                                                          3, 64, -16);
       },
       {1000, 2000, 3000, 4000, 9000, 3, 3, 64, -16},
       {1192, 2192, 3192, 4192, 8952, 4, 3, 64, -16}},
      {{14, 15, 47, 48},
       [](SeleSlices &t, int s) {
         return t.Call<V, V, V, V, I16, I16, I16, I16>(s, P(1000), P(2000), P(3000), P(9000), 9, 5, 32, 7);
       },
       {1000, 2000, 3000, 9000, 4, 5, 32, 7},
       {1128, 2128, 3128, 9028, 5, 5, 32, 7}},
      {{16, 17},
       [](SeleSlices &t, int s) {
         return t.Call<V, V, V, I16, I16, I16, I16>(s, P(1000), P(2000), P(9000), 6, 2, -10, 20);
       },
       {1000, 2000, 9000, 3, 2, -10, 20},
       {970, 1970, 9060, 3, 2, -10, 20}},
      {{18},
       [](SeleSlices &t, int s) {
         return t.Call<V, V, I16, I16, I16, I16>(s, P(1000), P(5000), 5, 9, 100, -40);
       },
       {1000, 5000, 2, 9, 100, -40},
       {1200, 4920, 3, 9, 100, -40}},
      {{21},  // the count is the fourth argument, behind an unchanged one
       [](SeleSlices &t, int s) {
         return t.Call<V, V, I16, I16, I16, I16, I16>(s, P(1000), P(5000), 11, 10, 13, 50, 60);
       },
       {1000, 5000, 11, 5, 13, 50, 60},
       {1250, 5300, 11, 5, 13, 50, 60}},
      {{27},
       [](SeleSlices &t, int s) { return t.Call<V, I16, I16, I32>(s, P(1000), 5, 2, 100000); },
       {1000, 2, 2, 100000},
       {201000, 3, 2, 100000}},
      {{32},
       [](SeleSlices &t, int s) { return t.Call<V, I16, I16, I16, I16, I16>(s, P(1000), 4, 1, 300, 5, 6); },
       {1000, 2, 1, 300, 5, 6},
       {1600, 2, 1, 300, 5, 6}},
      {{35},
       [](SeleSlices &t, int s) {
         return t.Call<V, V, I16, I16, I32, I32, U8>(s, P(10000), P(5000), 3, 4, -1000, 70000, 200);
       },
       {10000, 5000, 1, 4, -1000, 70000, 200},
       {9000, 4000, 2, 4, -1000, 70000, 200}},
      {{41, 43},
       [](SeleSlices &t, int s) {
         return t.Call<V, V, I16, I16, I16, I16, U8>(s, P(1000), P(5000), 5, 8, 10, -20, 1);
       },
       {1000, 5000, 2, 8, 10, -20, 1},
       {1020, 4960, 3, 8, 10, -20, 1}},
      {{46},  // the second plane moves by stride times factor: 2 * 30 * -3
       [](SeleSlices &t, int s) {
         return t.Call<V, V, I16, I16, I16, I16, I32, I32, U8, U8, I16>(s, P(1000), P(50000), 5, 4, 5, 6, 100,
                                                                        30, 7, 8, -3);
       },
       {1000, 50000, 2, 4, 5, 6, 100, 30, 7, 8, -3},
       {1200, 49820, 3, 4, 5, 6, 100, 30, 7, 8, -3}},
      {{49},
       [](SeleSlices &t, int s) {
         return t.Call<V, V, V, V, I32, I32, I32, I16, I16, I32, I32>(s, P(1000), P(2000), P(3000), P(900000),
                                                                      100000, -2, 3, 9, 4, 1000, -70000);
       },
       {1000, 2000, 3000, 900000, 100000, -2, 3, 4, 4, 1000, -70000},
       {5000, 6000, 7000, 620000, 100000, -2, 3, 5, 4, 1000, -70000}},
  };
  for (const Case &c : cases) {
    for (int slot : c.slots) {
      SCOPED_TRACE(::testing::Message() << "slot " << slot);
      EXPECT_EQ(c.call(*this, slot), 0) << "a split hands back no result";
      const auto calls = CallLog::Take();
      ASSERT_EQ(calls.size(), 2u);
      // The caller's slice must be the last one.
      const bool caller_first = calls[0].thread == CurrentThreadTag();
      const RecordedCall &first = calls[caller_first ? 1 : 0], &last = calls[caller_first ? 0 : 1];
      EXPECT_EQ(first.args, c.first);
      EXPECT_EQ(last.args, c.last);
      EXPECT_EQ(first.slot, slot) << "each slot calls its own saved routine";
      EXPECT_EQ(last.slot, slot);
      EXPECT_NE(first.thread, CurrentThreadTag());
    }
  }
}

// The byte run: chunks of multiples of 8, the last slice taking the rest.
TEST_F(SeleSlices, TheByteRunSplitsInChunksOfEight) {
  struct Chunking {
    int threads;
    int count;
    std::vector<int64_t> counts;  // one entry: unsplit
  };
  const Chunking cases[] = {
      {2, 8, {8}},
      {2, 9, {8, 1}},
      {2, 100, {48, 52}},
      {2, -20, {-20}},
      // Three or more threads: a chunk of 8 must leave the last slice something.
      {3, 12, {12}},
      {3, 16, {16}},
      {3, 17, {8, 8, 1}},
      {3, 100, {32, 32, 36}},
      {8, 56, {56}},
      {8, 57, {8, 8, 8, 8, 8, 8, 8, 1}},
      {4, 200, {48, 48, 48, 56}},
  };
  for (const Chunking &c : cases) {
    if (!CanChooseProcessors() && c.threads != MachineProcessors()) continue;
    SCOPED_TRACE(::testing::Message() << c.threads << " threads, count " << c.count);
    UseProcessors(c.threads);
    Reload();
    ASSERT_EQ(StartUp(), kResultSuccess);
    const int32_t result = Call<V, I16, I16, I32>(26, P(0x10000), 3, static_cast<I16>(c.count), 0x12345678);
    const auto slices = Slices();
    ASSERT_EQ(slices.size(), c.counts.size());
    EXPECT_EQ(result, c.counts.size() == 1 ? 26 : 0);
    int64_t offset = 0;
    for (size_t k = 0; k < slices.size(); ++k) {
      EXPECT_EQ(slices[k].args, (Args{0x10000 + offset, 3, c.counts[k], 0x12345678}));
      offset += c.counts[k];
    }
  }
}

TEST_F(SeleSlices, ScaledPlaneMovesByRowsTimesStrideTimesFactor) {
  if (!CanChooseProcessors()) GTEST_SKIP() << "the processor count is the machine's";
  UseProcessors(4);
  Reload();
  ASSERT_EQ(StartUp(), kResultSuccess);
  Call<V, V, I16, I16, I16, I16, I32, I32, U8, U8, I16>(46, P(1000), P(900000), 11, 0, 0, 0, 10, 40, 0, 0, 7);
  std::vector<int64_t> first, second, rows;
  for (const RecordedCall &slice : Slices()) {
    first.push_back(slice.args[0]);
    second.push_back(slice.args[1]);
    rows.push_back(slice.args[2]);
  }
  EXPECT_EQ(first, (std::vector<int64_t>{1000, 1020, 1040, 1060}));
  EXPECT_EQ(second, (std::vector<int64_t>{900000, 900000 + 560, 900000 + 1120, 900000 + 1680}));
  EXPECT_EQ(rows, (std::vector<int64_t>{2, 2, 2, 5}));
}

// ---- slots 0 and 2 ----

TEST_F(SeleSlices, SlotTwoRunsTheHostsRoutineWhenItCannotSplit) {
  ASSERT_EQ(StartUp(), kResultSuccess);
  const Args whole{0x1000, 0x2000, 0x3000, 0x4000, 0x5000, 40, 8, 8, 9, 100};
  auto call = [&](I16 rows) {
    return Call<V, V, V, V, V, I16, I16, I16, I16, I16>(2, P(0x1000), P(0x2000), P(0x3000), P(0x4000),
                                                        P(0x5000), rows, 8, 8, 9, 100);
  };
  // No table has been recorded: the split would have nowhere to count.
  EXPECT_EQ(call(40), 0) << "slot 2 hands back no result";
  auto calls = CallLog::Take();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].args, whole);
  EXPECT_EQ(calls[0].thread, CurrentThreadTag());

  std::vector<uint32_t> table(1536);
  Call<V>(0, table.data());
  CallLog::Clear();
  EXPECT_EQ(call(1), 0);
  calls = CallLog::Take();
  ASSERT_EQ(calls.size(), 1u) << "fewer rows than threads";
  EXPECT_EQ(calls[0].args[5], 1);
}

// A routine running inside a slice: slot 0 records its table there, slot 2
// runs unsplit there.
std::vector<uint32_t> *inner_table;
Routine *sele_table;
int32_t CallsFromInsideASlice(V, V, I16 rows, I16, I16, I16) {
  const int32_t result = reinterpret_cast<int32_t (*)(V)>(sele_table[0])(inner_table->data());
  reinterpret_cast<int32_t (*)(V, V, V, V, V, I16, I16, I16, I16, I16)>(sele_table[2])(
      P(0x1000), P(0x2000), P(0x3000), P(0x4000), nullptr, 40, 8, 8, 8, 0);
  CallLog::Add(kSele, 18, {rows, result});
  return 0;
}

TEST_F(SeleSlices, InsideASliceSlotZeroRecordsAndSlotTwoRunsUnsplit) {
  suites->SetSlot(kSele, 18, &CallsFromInsideASlice);
  sele_table = suites->Table(kSele);
  std::vector<uint32_t> outer(1536, 0), inner(1536, 0);
  inner_table = &inner;
  ASSERT_EQ(StartUp(), kResultSuccess);
  Call<V>(0, outer.data());
  Call<V, V, I16, I16, I16, I16>(18, nullptr, nullptr, 10, 0, 0, 0);
  int slot0 = 0, slot2 = 0;
  for (const RecordedCall &call : CallLog::Take()) {
    if (call.slot == 0) ++slot0;
    if (call.slot == 2) {
      ++slot2;
      EXPECT_EQ(call.args, (Args{0x1000, 0x2000, 0x3000, 0x4000, 0, 40, 8, 8, 8, 0})) << "unsplit, unchanged";
    }
    if (call.slot == 18) {
      EXPECT_EQ(call.args[1], 4321) << "slot 0 handed back the host's result";
    }
  }
  EXPECT_EQ(slot0, 3) << "once outside, once in each slice";
  EXPECT_EQ(slot2, 2) << "once in each slice";

  // The table recorded inside the slices is the one a split counts into.
  std::vector<uint8_t> pixels(64, 200);
  Call<V, V, V, V, V, I16, I16, I16, I16, I16>(2, pixels.data(), pixels.data(), pixels.data(), pixels.data(),
                                               nullptr, 8, 8, 8, 8, 0);
  EXPECT_EQ(inner[157], 64u) << "200 * 200 / 255 rounds to 157";
  EXPECT_EQ(outer, std::vector<uint32_t>(1536, 0));
  EXPECT_TRUE(CallLog::Take().empty()) << "the split did not call the host's slot 2";
}

}  // namespace
}  // namespace lumora::testing
