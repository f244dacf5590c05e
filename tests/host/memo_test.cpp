// The memory suite's 15 split slots through the host's own tables: results
// combined over the slices, row coordinates counted from each slice's first row.
#include <gtest/gtest.h>

#include "host/rows/memo_rows.h"
#include "host/slot_table.h"
#include "host/suites/memo_routines.h"

namespace lumora::testing {
namespace {

using MemoSlices = TableTest<kMemoRows>;

TEST_F(MemoSlices, EverySlotAtEveryThreadCount) { ExpectEverySlice(); }

TEST_F(MemoSlices, TheWorkedExamples) {
  if (!StartOn(2)) GTEST_SKIP() << "needs two processors";
  // Row coordinates 20 and 30, 9 rows: the second slice's are 4 rows less.
  EXPECT_EQ(
      Slices(27, {1000, 20, 1, 30, 2, 9, 3, 100, 4, 5}),
      (std::vector<Numbers>{{1000, 20, 1, 30, 2, 4, 3, 100, 4, 5}, {1400, 16, 1, 26, 2, 5, 3, 100, 4, 5}}));
}

using MemoOutput = TableTest<kMemoRows, &PutMemoRoutines>;

TEST_F(MemoOutput, SplitOutputAndResultsMatchTheUnsplitOnes) { ExpectEveryOutput(); }

// Slot 21 compares two planes: they match only if every slice's rows do.
TEST_F(MemoOutput, EveryRowMustMatchInEverySlice) {
  using Slot21 = int32_t (*)(Ptr, Ptr, I16, I16, I32, I32);
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
                                                   second.PlaneStart(rows, stride), static_cast<I16>(rows), 8,
                                                   stride, stride);
        };
        EXPECT_EQ(call(reference.Table(kMemo)[21]), odd_row < 0 ? 1 : 0);
        EXPECT_EQ(call(suites->Table(kMemo)[21]), odd_row < 0 ? 1 : 0);
      }
    }
  });
}

}  // namespace
}  // namespace lumora::testing
