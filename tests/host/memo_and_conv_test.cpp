// The memory suite's 15 split slots through the host's own tables (results
// combined over the slices, row coordinates counted from each slice's first
// row), and the slots start-up replaces in the painting, memory and
// conversion tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "host/rows/memo_rows.h"
#include "host/slot_table.h"
#include "host/suites/memo_routines.h"

namespace lumora::testing {
namespace {

class MemoSlices : public TableTest {
 protected:
  MemoSlices() : TableTest(kMemoRows, nullptr) {}
};

TEST_F(MemoSlices, EverySlotAtEveryThreadCount) { ExpectEverySlice(); }

TEST_F(MemoSlices, RowCoordinatesAreCountedFromEachSlicesFirstRow) {
  ASSERT_EQ(StartUp(), kResultSuccess);
  const Numbers args{1000, 20, 1, 30, 2, 9, 3, 100, 4, 5};
  CallLog::Clear();
  kMemoRows[4].call(suites->Table(kMemo)[27], args);
  std::vector<Numbers> slices;
  for (const RecordedCall &call : CallLog::Take()) slices.push_back(call.args);
  std::sort(slices.begin(), slices.end());
  EXPECT_EQ(slices, (std::vector<Numbers>{{1000, 20, 1, 30, 2, 4, 3, 100, 4, 5},
                                          {1400, 16, 1, 26, 2, 5, 3, 100, 4, 5}}));
}

// ---- results combined over the slices ----

// A slice whose plane starts k bytes past kResultBase returns slice_results[k].
constexpr intptr_t kResultBase = 0x4000;
int32_t slice_results[3];
int32_t ResultBySlice(void *plane) { return slice_results[reinterpret_cast<intptr_t>(plane) - kResultBase]; }
int32_t Slot32Result(void *plane, int16_t, int16_t, int16_t) { return ResultBySlice(plane); }
int32_t Slot21Result(void *plane, void *, int16_t, int16_t, int32_t, int32_t) { return ResultBySlice(plane); }

class MemoResults : public ModuleTest {
 protected:
  void PrepareSuites() override {
    suites->SetSlot(kMemo, 32, &Slot32Result);
    suites->SetSlot(kMemo, 21, &Slot21Result);
  }
  // Three slices where the processor count can be chosen, else the machine's.
  void SetUp() override {
    ModuleTest::SetUp();
    if (CanChooseProcessors()) {
      UseProcessors(3);
      Reload();
    }
    ASSERT_EQ(StartUp(), kResultSuccess);
    threads = CanChooseProcessors() ? 3 : MachineProcessors();
  }
  // A call of `rows` rows, slice k's plane at kResultBase + k.
  int32_t Slot32(int rows) {
    return reinterpret_cast<int32_t (*)(void *, int16_t, int16_t, int16_t)>(suites->Table(kMemo)[32])(
        reinterpret_cast<void *>(kResultBase), static_cast<int16_t>(rows), 0, 1);
  }
  int32_t Slot21(int rows) {
    return reinterpret_cast<int32_t (*)(void *, void *, int16_t, int16_t, int32_t, int32_t)>(suites->Table(
        kMemo)[21])(reinterpret_cast<void *>(kResultBase), nullptr, static_cast<int16_t>(rows), 0, 1, 1);
  }
  int threads = 0;
};

TEST_F(MemoResults, SlicesResultsAreSummedAt32Bits) {
  if (threads != 3 && threads != 2) GTEST_SKIP() << "one slice per row on up to three processors";
  slice_results[0] = 5, slice_results[1] = 7, slice_results[2] = 11;
  EXPECT_EQ(Slot32(threads), threads == 3 ? 23 : 12);
  slice_results[0] = 0x7FFFFFFF, slice_results[1] = 1, slice_results[2] = 0;
  EXPECT_EQ(Slot32(threads), INT32_MIN) << "the sum wraps";
  EXPECT_EQ(Slot32(1), 0x7FFFFFFF) << "unsplit, the routine's own result";
}

TEST_F(MemoResults, EverySlicesLowByteMustBeNonZero) {
  if (threads != 3 && threads != 2) GTEST_SKIP() << "one slice per row on up to three processors";
  slice_results[0] = 2, slice_results[1] = 0x7F01, slice_results[2] = -1;
  EXPECT_EQ(Slot21(threads), 1);
  slice_results[1] = 256;
  EXPECT_EQ(Slot21(threads), 0) << "a slice returning 256 holds nothing";
  slice_results[0] = 256;
  EXPECT_EQ(Slot21(1), 256) << "unsplit, the routine's full result";
}

// ---- split output against unsplit output ----

class MemoOutput : public TableTest {
 protected:
  MemoOutput() : TableTest(kMemoRows, &PutMemoRoutines) {}
};

TEST_F(MemoOutput, SplitOutputAndResultsMatchTheUnsplitOnes) { ExpectEveryOutput(); }

// Slot 21 over planes that match everywhere but, at most, in one row.
TEST_F(MemoOutput, EveryRowMustMatchInEverySlice) {
  using Slot21 = int32_t (*)(void *, void *, int16_t, int16_t, int32_t, int32_t);
  AtEachThreadCount([&](int) {
    HostSuites reference;
    PutMemoRoutines(reference);
    for (int rows : {2, 7, 9, 31}) {
      for (int odd_row : {-1, 0, rows / 2, rows - 1}) {
        SCOPED_TRACE(::testing::Message() << rows << " rows, row " << odd_row << " off");
        const int32_t stride = -kMemoColumns;
        GuardedBuffer first(PlaneBytes(rows, stride), 5), second = first;
        if (odd_row >= 0) second.PlaneStart(rows, stride)[odd_row * stride + 3] ^= 0x80;
        const auto call = [&](Routine routine) {
          return reinterpret_cast<Slot21>(routine)(first.PlaneStart(rows, stride),
                                                   second.PlaneStart(rows, stride),
                                                   static_cast<int16_t>(rows), 8, stride, stride);
        };
        const int32_t expected = call(reference.Table(kMemo)[21]);
        EXPECT_EQ(expected, odd_row < 0 ? 1 : 0);
        EXPECT_EQ(call(suites->Table(kMemo)[21]), expected);
      }
    }
  });
}

// ---- the slots start-up replaces ----

class InstalledSlots : public ModuleTest {};

TEST_F(InstalledSlots, StartUpReplacesTheListedSlotsAndNoOthers) {
  std::map<uint32_t, std::vector<Routine>> before;
  for (const SuiteDefinition &suite : kHostSuites) {
    before[suite.key].assign(suites->Table(suite.key), suites->Table(suite.key) + suite.entries);
  }
  ASSERT_EQ(StartUp(), kResultSuccess);
  const auto replaced = [&](const char(&key)[5]) {
    std::vector<int> slots;
    const std::vector<Routine> &old = before[Code(key)];
    for (size_t slot = 0; slot < old.size(); ++slot) {
      if (suites->Table(Code(key))[slot] != old[slot]) slots.push_back(static_cast<int>(slot));
    }
    return slots;
  };
  EXPECT_EQ(replaced("memo"), (std::vector<int>{2, 6, 9, 13, 14, 21, 27, 28, 32, 33, 34, 35, 48, 49, 50}));
  EXPECT_EQ(replaced("pntg"),
            (std::vector<int>{1,  2,  6,  7,  9,  10, 11, 12, 13, 14, 15, 19, 20, 21, 22, 26, 27,
                              28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 45}));
  EXPECT_EQ(replaced("conv"), std::vector<int>{}) << "the conversion table stays as the host made it";
  EXPECT_EQ(replaced("rast"), (std::vector<int>{0, 1, 2, 3}));
}

}  // namespace
}  // namespace lumora::testing
