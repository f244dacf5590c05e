// The selection suite through the host's own table: the described rows, and
// the histogram pair: slot 0 names the table that slot 2, split, counts its
// six histograms into with the module's own counting (the counting itself,
// and the unsplit paths, are the unit tests').
#include <gtest/gtest.h>

#include <atomic>
#include <random>

#include "histogram_reference.h"
#include "host/rows/sele_rows.h"
#include "host/slot_table.h"
#include "host/suites/sele_routines.h"

namespace lumora::testing {
namespace {

using Count = int32_t (*)(Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16);
using NameTable = int32_t (*)(Ptr);
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

class SeleOutput : public TableTest<kSeleRows, &PutSeleRoutines> {
 protected:
  void PrepareSuites() override;
};

TEST_F(SeleOutput, SplitOutputMatchesTheUnsplitOutput) { ExpectEveryOutput(); }

// Slot 2's host routine, counting its calls.
Count host_count;
std::atomic<int> host_count_calls;
int32_t CountedHostCount(Ptr a, Ptr b, Ptr c, Ptr w, Ptr mask, I16 rows, I16 columns, I16 stride,
                         I16 mask_stride, I16 threshold) {
  host_count_calls.fetch_add(1);
  return host_count(a, b, c, w, mask, rows, columns, stride, mask_stride, threshold);
}

void SeleOutput::PrepareSuites() {
  TableTest::PrepareSuites();
  host_count = reinterpret_cast<Count>(suites->Table(kSele)[2]);
  suites->SetSlot(kSele, 2, &CountedHostCount);
}

// Split, slot 2 adds the counts of one run over all rows to the table slot 0
// named last, call after call: with and without a mask, thresholds that count
// every pixel, some or none, a mask row stride wider than the columns,
// negative strides.
TEST_F(SeleOutput, SplitHistogramsAddUpInTheTableNamedLast) {
  struct Shape {
    int rows, columns, stride, mask_stride;
  };
  const Shape shapes[] = {{2, 5, 8, 8}, {7, 37, 40, -64}, {31, 64, -70, 200}};
  AtEachThreadCount([&](int threads) {
    uint32_t seed = 11;
    for (const Shape &shape : shapes) {
      histogram_reference::Picture picture(shape.rows, shape.columns, shape.stride, shape.mask_stride);
      std::mt19937 random(seed++);
      for (auto *plane : {&picture.a, &picture.b, &picture.c, &picture.w, &picture.mask}) {
        for (size_t i = 0; i < plane->size(); ++i) (*plane)[i] = static_cast<uint8_t>(i / 7 + random() % 4);
      }
      for (auto [masked, threshold] :
           {std::pair{false, 0}, std::pair{true, -1}, std::pair{true, 128}, std::pair{true, 300}}) {
        SCOPED_TRACE(::testing::Message() << shape.rows << " rows, " << shape.columns << " columns, "
                                          << (masked ? "threshold " : "no mask ") << threshold);
        const histogram_reference::Band band = picture.Of(masked, threshold);
        std::vector<uint32_t> before(histogram_reference::kCounters), table(before.size(), 5),
            expected = table;
        histogram_reference::AddCounts(band, expected);
        histogram_reference::AddCounts(band, expected);
        reinterpret_cast<NameTable>(suites->Table(kSele)[0])(before.data());
        reinterpret_cast<NameTable>(suites->Table(kSele)[0])(table.data());
        host_count_calls = 0;
        for (int call = 0; call < 2; ++call) {
          reinterpret_cast<Count>(suites->Table(kSele)[2])(
              const_cast<uint8_t *>(band.a), const_cast<uint8_t *>(band.b), const_cast<uint8_t *>(band.c),
              const_cast<uint8_t *>(band.w), const_cast<uint8_t *>(band.mask), static_cast<I16>(band.rows),
              static_cast<I16>(band.columns), static_cast<I16>(band.stride),
              static_cast<I16>(band.mask_stride), static_cast<I16>(band.threshold));
        }
        EXPECT_EQ(host_count_calls, shape.rows < threads ? 2 : 0) << "split unless there are too few rows";
        ASSERT_EQ(table, expected);
        EXPECT_EQ(before, std::vector<uint32_t>(before.size(), 0));
      }
    }
  });
}

}  // namespace
}  // namespace lumora::testing
