// The selection suite through the host's own table: the described rows, and
// the histogram pair: slot 0 names the table that slot 2, split, counts its
// six histograms into with the module's own counting.
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
const Ptr kPlanes[] = {reinterpret_cast<Ptr>(0x1000), reinterpret_cast<Ptr>(0x2000),
                       reinterpret_cast<Ptr>(0x3000), reinterpret_cast<Ptr>(0x4000)};

class SeleSlices : public TableTest {
 protected:
  SeleSlices() : TableTest(kSeleRows, nullptr) {}
  void PrepareSuites() override {
    TableTest::PrepareSuites();
    suites->SetSlot(kSele, 0, &RecordingRoutine<kSele, 0, 4321, Ptr>);
    suites->SetSlot(kSele, 2, &RecordingRoutine<kSele, 2, 77, Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16>);
  }
  template <typename F>
  F Slot(int slot) {
    return reinterpret_cast<F>(suites->Table(kSele)[slot]);
  }
};

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

// Until slot 0 has named a table, slot 2 runs the host's routine (and hands
// back no result).
TEST_F(SeleSlices, UntilSlotZeroNamesATableSlotTwoRunsTheHostsRoutine) {
  ASSERT_EQ(StartUp(), kResultSuccess);
  EXPECT_EQ(Slot<Count>(2)(kPlanes[0], kPlanes[1], kPlanes[2], kPlanes[3], kPlanes[0], 40, 8, 8, 9, 100), 0);
  const auto calls = CallLog::Take();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].args, (Numbers{0x1000, 0x2000, 0x3000, 0x4000, 0x1000, 40, 8, 8, 9, 100}));
  EXPECT_EQ(calls[0].thread, CurrentThreadTag());
}

// A routine running inside a slice: slot 0 records its table there, slot 2
// runs unsplit there.
std::vector<uint32_t> *inner_table;
Routine *sele_table;
int32_t CallsFromInsideASlice(Ptr, Ptr, I16 rows, I16, I16, I16) {
  const int32_t result = reinterpret_cast<NameTable>(sele_table[0])(inner_table->data());
  reinterpret_cast<Count>(sele_table[2])(kPlanes[0], kPlanes[1], kPlanes[2], kPlanes[3], nullptr, 40, 8, 8, 8, 0);
  CallLog::Add(kSele, 18, {rows, result});
  return 0;
}

TEST_F(SeleSlices, InsideASliceSlotZeroRecordsAndSlotTwoRunsUnsplit) {
  suites->SetSlot(kSele, 18, &CallsFromInsideASlice);
  sele_table = suites->Table(kSele);
  std::vector<uint32_t> outer(histogram_reference::kCounters), inner(histogram_reference::kCounters);
  inner_table = &inner;
  ASSERT_EQ(StartUp(), kResultSuccess);
  Slot<NameTable>(0)(outer.data());
  Slot<int32_t (*)(Ptr, Ptr, I16, I16, I16, I16)>(18)(nullptr, nullptr, 10, 0, 0, 0);
  int slot0 = 0, slot2 = 0;
  for (const RecordedCall &call : CallLog::Take()) {
    slot0 += call.slot == 0;
    slot2 += call.slot == 2 && call.args == Numbers{0x1000, 0x2000, 0x3000, 0x4000, 0, 40, 8, 8, 8, 0};
    EXPECT_TRUE(call.slot != 18 || call.args[1] == 4321) << "slot 0 handed back the host's result";
  }
  EXPECT_EQ(slot0, 3) << "once outside, once in each slice";
  EXPECT_EQ(slot2, 2) << "once in each slice, unsplit and unchanged";
  // The table recorded inside the slices is the one a split counts into.
  std::vector<uint8_t> pixels(64, 200);
  Slot<Count>(2)(pixels.data(), pixels.data(), pixels.data(), pixels.data(), nullptr, 8, 8, 8, 8, 0);
  EXPECT_EQ(inner[157], 64u) << "200 * 200 / 255 rounds to 157";
  EXPECT_EQ(outer, std::vector<uint32_t>(histogram_reference::kCounters, 0));
  EXPECT_TRUE(CallLog::Take().empty()) << "the split did not call the host's slot 2";
}

class SeleOutput : public TableTest {
 protected:
  SeleOutput() : TableTest(kSeleRows, &PutSeleRoutines) {}
  void PrepareSuites() override;
};

TEST_F(SeleOutput, SplitOutputMatchesTheUnsplitOutput) { ExpectEveryOutput(); }

// Slot 2's host routine, counting its calls.
Count host_count;
std::atomic<int> host_count_calls;
int32_t CountedHostCount(Ptr a, Ptr b, Ptr c, Ptr w, Ptr mask, I16 rows, I16 columns, I16 stride, I16 mask_stride,
                         I16 threshold) {
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
  const Shape shapes[] = {{2, 5, 8, 8}, {7, 37, 40, -64}, {31, 64, -70, 200}, {64, 100, 100, 100}};
  AtEachThreadCount([&](int threads) {
    uint32_t seed = 11;
    for (const Shape &shape : shapes) {
      histogram_reference::Picture picture(shape.rows, shape.columns, shape.stride, shape.mask_stride);
      std::mt19937 random(seed++);
      for (auto *plane : {&picture.a, &picture.b, &picture.c, &picture.w, &picture.mask}) {
        for (size_t i = 0; i < plane->size(); ++i) (*plane)[i] = static_cast<uint8_t>(i / 7 + random() % 4);
      }
      for (auto [masked, threshold] : {std::pair{false, 0}, std::pair{true, -1}, std::pair{true, 128}, std::pair{true, 300}}) {
        SCOPED_TRACE(::testing::Message() << shape.rows << " rows, " << shape.columns << " columns, "
                                          << (masked ? "threshold " : "no mask ") << threshold);
        const histogram_reference::Band band = picture.Of(masked, threshold);
        std::vector<uint32_t> before(histogram_reference::kCounters), table(before.size(), 5), expected = table;
        histogram_reference::AddCounts(band, expected);
        histogram_reference::AddCounts(band, expected);
        reinterpret_cast<NameTable>(suites->Table(kSele)[0])(before.data());
        reinterpret_cast<NameTable>(suites->Table(kSele)[0])(table.data());
        host_count_calls = 0;
        for (int call = 0; call < 2; ++call) {
          reinterpret_cast<Count>(suites->Table(kSele)[2])(
              const_cast<uint8_t *>(band.a), const_cast<uint8_t *>(band.b), const_cast<uint8_t *>(band.c),
              const_cast<uint8_t *>(band.w), const_cast<uint8_t *>(band.mask), static_cast<I16>(band.rows),
              static_cast<I16>(band.columns), static_cast<I16>(band.stride), static_cast<I16>(band.mask_stride),
              static_cast<I16>(band.threshold));
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
