// The painting suite's 33 split slots, through the host's own tables: row
// origins that move with the planes, one stride for every plane.
#include <gtest/gtest.h>

#include "host/rows/pntg_rows.h"
#include "host/slot_table.h"
#include "host/suites/pntg_routines.h"

namespace lumora::testing {
namespace {

using PntgSlices = TableTest<kPntgRows>;

TEST_F(PntgSlices, EverySlotAtEveryThreadCount) { ExpectEverySlice(); }

TEST_F(PntgSlices, TheWorkedExamples) {
  if (!StartOn(2)) GTEST_SKIP() << "needs two processors";
  // Slot 1, 5 rows on 2 threads: both planes of the second slice 2 strides in.
  EXPECT_EQ(Slices(1, {1000, 5000, 5, 9, 40, -3}),
            (std::vector<Numbers>{{1000, 5000, 2, 9, 40, -3}, {1080, 5080, 3, 9, 40, -3}}));
  // A negative origin moves the same way.
  EXPECT_EQ(Slices(41, {1, 2, -8, 4, 8, 6, 7}),
            (std::vector<Numbers>{{1, 2, -8, 4, 4, 6, 7}, {1, 2, -4, 4, 4, 6, 7}}));
  // Slot 10's plane moves by argument 9, not by argument 8.
  EXPECT_EQ(
      Slices(10, {1, 2, 0, 4, 6, 6, 1000, 500, 20, 10}),
      (std::vector<Numbers>{{1, 2, 0, 4, 3, 6, 1000, 500, 20, 10}, {1, 2, 3, 4, 3, 6, 1060, 500, 20, 10}}));
  // Slot 6, origin 100 and 10 rows on 3 threads.
  if (!StartOn(3)) return;
  EXPECT_EQ(
      Slices(6, {1, 100, 3, 10, 5, 2000, 64, 8}),
      (std::vector<Numbers>{
          {1, 100, 3, 3, 5, 2000, 64, 8}, {1, 103, 3, 3, 5, 2192, 64, 8}, {1, 106, 3, 4, 5, 2384, 64, 8}}));
}

using PntgOutput = TableTest<kPntgRows, &PutPntgRoutines>;

TEST_F(PntgOutput, SplitOutputMatchesTheUnsplitOutput) {
  ExpectEveryOutput({PntgCanvas(), kPntgCanvasBytes});
}

}  // namespace
}  // namespace lumora::testing
