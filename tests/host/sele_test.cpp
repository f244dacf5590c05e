// The selection suite through the host's own table: the described rows (the
// histogram pair of slots 0 and 2, whose split counting is the module's own,
// is the unit tests').
#include <gtest/gtest.h>

#include "host/rows/sele_rows.h"
#include "host/slot_table.h"
#include "host/suites/sele_routines.h"

namespace lumora::testing {
namespace {

using SeleSlices = TableTest<kSeleRows>;

TEST_F(SeleSlices, EverySlotAtEveryThreadCount) { ExpectEverySlice(); }

TEST_F(SeleSlices, TheWorkedExamples) {
  if (!StartOn(2)) GTEST_SKIP() << "needs two processors";
  // Slot 21 divides its fourth argument, not the third before it.
  EXPECT_EQ(Slices(21, {1000, 5000, 11, 10, 13, 50, 60}),
            (std::vector<Numbers>{{1000, 5000, 11, 5, 13, 50, 60}, {1250, 5300, 11, 5, 13, 50, 60}}));
  // The byte run: 8 bytes run unsplit, 9 as 8 and 1, 100 as 48 and 52.
  EXPECT_EQ(Slices(26, {1000, 3, 8, 7}), (std::vector<Numbers>{{1000, 3, 8, 7}}));
  EXPECT_EQ(Slices(26, {1000, 3, 9, 7}), (std::vector<Numbers>{{1000, 3, 8, 7}, {1008, 3, 1, 7}}));
  EXPECT_EQ(Slices(26, {1000, 3, 100, 7}), (std::vector<Numbers>{{1000, 3, 48, 7}, {1048, 3, 52, 7}}));
  // Slot 46's second plane moves k * rows per slice * argument 8 * argument 11.
  if (!StartOn(4)) return;
  EXPECT_EQ(Slices(46, {1000, 900000, 11, 0, 0, 0, 10, 40, 0, 0, 7}),
            (std::vector<Numbers>{{1000, 900000, 2, 0, 0, 0, 10, 40, 0, 0, 7},
                                  {1020, 900560, 2, 0, 0, 0, 10, 40, 0, 0, 7},
                                  {1040, 901120, 2, 0, 0, 0, 10, 40, 0, 0, 7},
                                  {1060, 901680, 5, 0, 0, 0, 10, 40, 0, 0, 7}}));
  // Three or more threads: a chunk of 8 must leave the last slice something.
  EXPECT_EQ(Slices(26, {1000, 3, 24, 7}), (std::vector<Numbers>{{1000, 3, 24, 7}}));
  EXPECT_EQ(Slices(26, {1000, 3, 25, 7}),
            (std::vector<Numbers>{{1000, 3, 8, 7}, {1008, 3, 8, 7}, {1016, 3, 8, 7}, {1024, 3, 1, 7}}));
}

using SeleOutput = TableTest<kSeleRows, &PutSeleRoutines>;

TEST_F(SeleOutput, SplitOutputMatchesTheUnsplitOutput) { ExpectEveryOutput(); }

}  // namespace
}  // namespace lumora::testing
