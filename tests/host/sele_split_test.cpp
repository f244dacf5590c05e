// The selection suite through the host's own table: the row-split slots from
// a description of the table, the byte run's chunks of eight, and the
// histogram pair of slots 0 and 2 with routines that only record their calls.
#include <gtest/gtest.h>

#include <algorithm>

#include "host/rows/sele_rows.h"
#include "host/slot_table.h"
#include "host/suites/sele_routines.h"

namespace lumora::testing {
namespace {

template <typename... Ts>
int32_t Call(Routine routine, Ts... args) {
  return reinterpret_cast<int32_t (*)(Ts...)>(routine)(args...);
}
Ptr P(intptr_t address) { return reinterpret_cast<Ptr>(address); }

class SeleSlices : public TableTest {
 protected:
  SeleSlices() : TableTest(kSeleRows, nullptr) {}
  void PrepareSuites() override {
    TableTest::PrepareSuites();
    suites->SetSlot(kSele, 0, &RecordingRoutine<kSele, 0, 4321, Ptr>);
    suites->SetSlot(kSele, 2,
                    &RecordingRoutine<kSele, 2, 77, Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16>);
    suites->SetSlot(kSele, 26, &RecordingRoutine<kSele, 26, 26, Ptr, I16, I16, I32>);
  }
  Routine Slot(int slot) { return suites->Table(kSele)[slot]; }
  // The calls since the last look, in the order of their first argument.
  static std::vector<Numbers> Slices() {
    std::vector<Numbers> slices;
    for (const RecordedCall &call : CallLog::Take()) slices.push_back(call.args);
    std::sort(slices.begin(), slices.end());
    return slices;
  }
};

TEST_F(SeleSlices, EverySlotAtEveryThreadCount) { ExpectEverySlice(); }

TEST_F(SeleSlices, TheWorkedExamples) {
  ASSERT_EQ(StartUp(), kResultSuccess);
  // Slot 21 divides its fourth argument, not the third before it.
  Call<Ptr, Ptr, I16, I16, I16, I16, I16>(Slot(21), P(1000), P(5000), 11, 10, 13, 50, 60);
  EXPECT_EQ(Slices(),
            (std::vector<Numbers>{{1000, 5000, 11, 5, 13, 50, 60}, {1250, 5300, 11, 5, 13, 50, 60}}));

  if (!CanChooseProcessors()) return;
  // Slot 46's second plane moves k * rows per slice * argument 8 * argument 11.
  UseProcessors(4);
  Reload();
  ASSERT_EQ(StartUp(), kResultSuccess);
  Call<Ptr, Ptr, I16, I16, I16, I16, I32, I32, U8, U8, I16>(Slot(46), P(1000), P(900000), 11, 0, 0, 0, 10, 40,
                                                            0, 0, 7);
  EXPECT_EQ(Slices(), (std::vector<Numbers>{{1000, 900000, 2, 0, 0, 0, 10, 40, 0, 0, 7},
                                            {1020, 900560, 2, 0, 0, 0, 10, 40, 0, 0, 7},
                                            {1040, 901120, 2, 0, 0, 0, 10, 40, 0, 0, 7},
                                            {1060, 901680, 5, 0, 0, 0, 10, 40, 0, 0, 7}}));
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
    const int32_t result =
        Call<Ptr, I16, I16, I32>(Slot(26), P(0x10000), 3, static_cast<I16>(c.count), 0x12345678);
    EXPECT_EQ(result, c.counts.size() == 1 ? 26 : 0) << "the routine's result only when unsplit";
    std::vector<Numbers> expected;
    int64_t offset = 0;
    for (int64_t count : c.counts) {
      expected.push_back({0x10000 + offset, 3, count, 0x12345678});
      offset += count;
    }
    EXPECT_EQ(Slices(), expected);
  }
}

// ---- slots 0 and 2 ----

TEST_F(SeleSlices, SlotTwoRunsTheHostsRoutineWhenItCannotSplit) {
  ASSERT_EQ(StartUp(), kResultSuccess);
  auto call = [&](I16 rows) {
    return Call<Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16>(Slot(2), P(0x1000), P(0x2000), P(0x3000),
                                                                  P(0x4000), P(0x5000), rows, 8, 8, 9, 100);
  };
  // No table has been recorded: the split would have nowhere to count.
  EXPECT_EQ(call(40), 0) << "slot 2 hands back no result";
  auto calls = CallLog::Take();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].args, (Numbers{0x1000, 0x2000, 0x3000, 0x4000, 0x5000, 40, 8, 8, 9, 100}));
  EXPECT_EQ(calls[0].thread, CurrentThreadTag());

  std::vector<uint32_t> table(1536);
  EXPECT_EQ(Call<Ptr>(Slot(0), table.data()), 4321) << "slot 0 hands back the host's result";
  CallLog::Clear();
  EXPECT_EQ(call(1), 0);
  calls = CallLog::Take();
  ASSERT_EQ(calls.size(), 1u) << "fewer rows than threads";
  EXPECT_EQ(Arg(calls[0].args, 6), 1);
}

// A routine running inside a slice: slot 0 records its table there, slot 2
// runs unsplit there.
std::vector<uint32_t> *inner_table;
Routine *sele_table;
int32_t CallsFromInsideASlice(Ptr, Ptr, I16 rows, I16, I16, I16) {
  const int32_t result = Call<Ptr>(sele_table[0], inner_table->data());
  Call<Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16>(sele_table[2], P(0x1000), P(0x2000), P(0x3000),
                                                         P(0x4000), nullptr, 40, 8, 8, 8, 0);
  CallLog::Add(kSele, 18, {rows, result});
  return 0;
}

TEST_F(SeleSlices, InsideASliceSlotZeroRecordsAndSlotTwoRunsUnsplit) {
  suites->SetSlot(kSele, 18, &CallsFromInsideASlice);
  sele_table = suites->Table(kSele);
  std::vector<uint32_t> outer(1536, 0), inner(1536, 0);
  inner_table = &inner;
  ASSERT_EQ(StartUp(), kResultSuccess);
  Call<Ptr>(Slot(0), outer.data());
  Call<Ptr, Ptr, I16, I16, I16, I16>(Slot(18), nullptr, nullptr, 10, 0, 0, 0);
  int slot0 = 0, slot2 = 0;
  for (const RecordedCall &call : CallLog::Take()) {
    if (call.slot == 0) ++slot0;
    if (call.slot == 2) {
      ++slot2;
      EXPECT_EQ(call.args, (Numbers{0x1000, 0x2000, 0x3000, 0x4000, 0, 40, 8, 8, 8, 0}))
          << "unsplit, unchanged";
    }
    if (call.slot == 18) {
      EXPECT_EQ(call.args[1], 4321) << "slot 0 handed back the host's result";
    }
  }
  EXPECT_EQ(slot0, 3) << "once outside, once in each slice";
  EXPECT_EQ(slot2, 2) << "once in each slice";

  // The table recorded inside the slices is the one a split counts into.
  std::vector<uint8_t> pixels(64, 200);
  Call<Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16>(Slot(2), pixels.data(), pixels.data(), pixels.data(),
                                                         pixels.data(), nullptr, 8, 8, 8, 8, 0);
  EXPECT_EQ(inner[157], 64u) << "200 * 200 / 255 rounds to 157";
  EXPECT_EQ(outer, std::vector<uint32_t>(1536, 0));
  EXPECT_TRUE(CallLog::Take().empty()) << "the split did not call the host's slot 2";
}

// ---- split output against unsplit output ----

class SeleOutput : public TableTest {
 protected:
  SeleOutput() : TableTest(kSeleRows, &PutSeleRoutines) {}
};

TEST_F(SeleOutput, SplitOutputMatchesTheUnsplitOutput) { ExpectEveryOutput(); }

TEST_F(SeleOutput, TheByteRunSplitMatchesItsUnsplitOutput) {
  AtEachThreadCount([&](int) {
    HostSuites reference;
    PutSeleRoutines(reference);
    for (int count : {1, 8, 9, 16, 17, 24, 25, 100, 1001}) {
      SCOPED_TRACE(::testing::Message() << count << " bytes");
      GuardedBuffer split(static_cast<size_t>(count), static_cast<uint32_t>(count)), unsplit = split;
      Call<Ptr, I16, I16, I32>(reference.Table(kSele)[26], unsplit.Data(), 3, static_cast<I16>(count),
                               0x1234567);
      Call<Ptr, I16, I16, I32>(suites->Table(kSele)[26], split.Data(), 3, static_cast<I16>(count), 0x1234567);
      ASSERT_TRUE(split == unsplit);
    }
  });
}

}  // namespace
}  // namespace lumora::testing
