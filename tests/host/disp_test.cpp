// The display suite through the host's own table: rows per slice cut to a
// multiple of a stride argument, a 32-bit element count, row origins, and
// strides times a factor (taken twice by slots 28 and 29).
#include <gtest/gtest.h>

#include "host/rows/disp_rows.h"
#include "host/slot_table.h"
#include "host/suites/disp_routines.h"

namespace lumora::testing {
namespace {

using DispSlices = TableTest<kDispRows>;

TEST_F(DispSlices, EverySlotAtEveryThreadCount) { ExpectEverySlice(); }

TEST_F(DispSlices, TheWorkedExamples) {
  if (!StartOn(2)) GTEST_SKIP() << "needs two processors";
  // 100 rows, stride 16: 50 cut to 48; the second slice's first plane starts
  // 48 strides on, its second 48 rows of 7 4-byte units on.
  EXPECT_EQ(Slices(8, {100000, 500000, 100, 7, 16, 3}),
            (std::vector<Numbers>{{100000, 500000, 48, 7, 16, 3}, {100768, 501344, 52, 7, 16, 3}}));
  // A stride above the rows per slice leaves nothing to split.
  EXPECT_EQ(Slices(8, {100000, 500000, 100, 7, 1024, 3}),
            (std::vector<Numbers>{{100000, 500000, 100, 7, 1024, 3}}));
  // A stride of 0 cuts nothing, and the first plane stays where it is.
  EXPECT_EQ(Slices(8, {100000, 500000, 100, 7, 0, 3}),
            (std::vector<Numbers>{{100000, 500000, 50, 7, 0, 3}, {100000, 501400, 50, 7, 0, 3}}));
  // A negative stride: the remainder takes the sign of the rows per slice.
  EXPECT_EQ(Slices(11, {100000, 200000, 300000, 400000, 100, 5, -16, 9}),
            (std::vector<Numbers>{{99232, 199232, 299232, 400960, 52, 5, -16, 9},
                                  {100000, 200000, 300000, 400000, 48, 5, -16, 9}}));
  // Rows per slice 5, stride 5: slot 7 splits, slot 4 only when argument 6 is not 1.
  EXPECT_EQ(Slices(4, {1000, 5000, 10, 3, 5, 1, 20}), (std::vector<Numbers>{{1000, 5000, 10, 3, 5, 1, 20}}));
  EXPECT_EQ(Slices(7, {1000, 5000, 10, 3, 5, 1, 20}),
            (std::vector<Numbers>{{1000, 5000, 5, 3, 5, 1, 20}, {1025, 5100, 5, 3, 5, 1, 20}}));
  EXPECT_EQ(Slices(4, {1000, 5000, 10, 3, 5, 2, 20}),
            (std::vector<Numbers>{{1000, 5000, 5, 3, 5, 2, 20}, {1025, 5100, 5, 3, 5, 2, 20}}));
  // Slot 23's count is 32 bits: 2^17 elements make two slices of 2^16.
  EXPECT_EQ(Slices(23, {100000, 1 << 17, 7}),
            (std::vector<Numbers>{{100000, 1 << 16, 7}, {100000 + 4 * (1 << 16), 1 << 16, 7}}));
  // Slot 24, origin 10 and 9 rows: 4 rows from 10, 5 rows from 14.
  EXPECT_EQ(Slices(24, {100000, 9, 6, 10, 5, 6, 7, 8}),
            (std::vector<Numbers>{{100000, 4, 6, 10, 5, 6, 7, 8}, {100096, 5, 6, 14, 5, 6, 7, 8}}));
  // Slot 29, factor 3: the second plane moves 36 bytes per row length unit.
  EXPECT_EQ(Slices(29, {100000, 500000, 10, 2, 3}),
            (std::vector<Numbers>{{100000, 500000, 5, 2, 3}, {100040, 500360, 5, 2, 3}}));
  // Slot 27: the second plane moves by argument 6 times argument 7.
  EXPECT_EQ(Slices(27, {100000, 500000, 10, 1, 8, 30, -2}),
            (std::vector<Numbers>{{100000, 500000, 5, 1, 8, 30, -2}, {100040, 499700, 5, 1, 8, 30, -2}}));
}

using DispOutput = TableTest<kDispRows, &PutDispRoutines>;

TEST_F(DispOutput, SplitOutputMatchesTheUnsplitOutput) { ExpectEveryOutput(); }

}  // namespace
}  // namespace lumora::testing
