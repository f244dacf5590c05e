// The blending suite's 119 split slots, through the host's own tables: up to
// seven planes sharing strides, optional planes, planes of 16-bit elements,
// a 32-bit row count, and the two parameter records every slice gets a copy of.
#include <gtest/gtest.h>

#include <cstring>

#include "host/rows/blnd_rows.h"
#include "host/slot_table.h"
#include "host/suites/blnd_routines.h"

namespace lumora::testing {
namespace {

using RecordRoutine = int32_t (*)(Ptr);
using BlndSlices = TableTest<kBlndRows>;

TEST_F(BlndSlices, EverySlotAtEveryThreadCount) { ExpectEverySlice(); }

TEST_F(BlndSlices, TheWorkedExamples) {
  if (!StartOn(4)) GTEST_SKIP() << "needs four processors";
  // Slot 2, 10 rows: 2, 2, 2 and 4 rows; planes 1 and 3 at 2k rows of their strides.
  EXPECT_EQ(Slices(2, {1000, 5000, 9000, 10, 12, 100, 40, -8}),
            (std::vector<Numbers>{{1000, 5000, 9000, 2, 12, 100, 40, -8},
                                  {1200, 5080, 8984, 2, 12, 100, 40, -8},
                                  {1400, 5160, 8968, 2, 12, 100, 40, -8},
                                  {1600, 5240, 8952, 4, 12, 100, 40, -8}}));
  // Slot 13: planes 1-3 by argument 10, 4-6 by 11, 7 by 12.
  const auto slot13 = Slices(13, {1000, 2000, 3000, 4000, 5000, 6000, 7000, 10, 12, 10, 20, -30});
  ASSERT_EQ(slot13.size(), 4u);
  EXPECT_EQ(slot13[1], (Numbers{1020, 2020, 3020, 4040, 5040, 6040, 6940, 2, 12, 10, 20, -30}));
  EXPECT_EQ(slot13[3], (Numbers{1060, 2060, 3060, 4120, 5120, 6120, 6820, 4, 12, 10, 20, -30}));
  // Slot 3 divides its fourth argument; its 16-bit first argument reaches every slice.
  const auto slot3 = Slices(3, {-2, 1000, 2000, 10, 12, 7, 9});
  ASSERT_EQ(slot3.size(), 4u);
  EXPECT_EQ(slot3[3], (Numbers{-2, 1042, 2054, 4, 12, 7, 9}));
  // Slot 109: null optional planes stay null; others move by arguments 9 and 11.
  for (int64_t optional : {0, 8000}) {
    const auto slot109 = Slices(
        109, {1000, 2000, 3000, optional, 5000, optional ? 9000 : 0, 10, 12, 10, 20, 30, 0x12345678, -1, 5});
    ASSERT_EQ(slot109.size(), 4u);
    EXPECT_EQ(slot109[3], (Numbers{1060, 2060, 3060, optional ? 8060 : 0, 5120, optional ? 9180 : 0, 4, 12,
                                   10, 20, 30, 0x12345678, -1, 5}));
  }
  // Slot 114, three rows per slice at a stride of 5: the 16-bit planes start
  // 14 and 30 bytes in, the byte plane 15 and 30; at -5, 16 bytes back.
  if (!StartOn(3)) return;
  auto at5 = Slices(114, {10000, 20000, 30000, 9, 12, 5, -5, 5});
  ASSERT_EQ(at5.size(), 3u);
  std::sort(at5.begin(), at5.end(), [](const Numbers &a, const Numbers &b) { return a[2] < b[2]; });
  EXPECT_EQ(at5[1], (Numbers{10014, 19984, 30015, 3, 12, 5, -5, 5}));
  EXPECT_EQ(at5[2], (Numbers{10030, 19970, 30030, 3, 12, 5, -5, 5}));
  // Seven rows on two threads: 3 and 4, each a 32-bit count.
  if (!StartOn(2)) return;
  EXPECT_EQ(
      Slices(114, {10000, 20000, 30000, 7, 12, 4, 4, 4}),
      (std::vector<Numbers>{{10000, 20000, 30000, 3, 12, 4, 4, 4}, {10012, 20012, 30012, 4, 12, 4, 4, 4}}));
}

using BlndOutput = TableTest<kBlndRows, &PutBlndRoutines>;

TEST_F(BlndOutput, EverySlotSplitWritesWhatItWritesUnsplit) { ExpectEveryOutput(); }

// Calls a record slot with the record's planes pointed into copies of the
// same random planes, but those that are to be null: split and unsplit must
// write the same, and leave the caller's record as it was.
template <typename Record>
void ExpectRecordOutputMatches(Routine direct, Routine wrapper, const Record &record, uint32_t seed) {
  const int32_t strides[] = {record.stride1, record.stride2, record.stride3};
  std::vector<GuardedBuffer> planes;
  for (uint32_t m = 0; m < 3; ++m) planes.emplace_back(PlaneBytes(record.rows, strides[m]), seed + m);
  for (int nulls : {0, 1, 2, 4, 6}) {  // which planes are null, a bit each
    std::vector<GuardedBuffer> split = planes, unsplit = planes;
    const auto call = [&](Routine routine, std::vector<GuardedBuffer> &buffers) {
      Record r = record;
      uint8_t *at[3];
      for (size_t m = 0; m < 3; ++m)
        at[m] = nulls >> m & 1 ? nullptr : buffers[m].PlaneStart(r.rows, strides[m]);
      r.plane1 = reinterpret_cast<decltype(r.plane1)>(at[0]),
      r.plane2 = reinterpret_cast<decltype(r.plane2)>(at[1]);
      r.plane3 = at[2];
      const Record before = r;
      reinterpret_cast<RecordRoutine>(routine)(&r);
      EXPECT_EQ(std::memcmp(&r, &before, sizeof r), 0) << "the caller's record is only read";
    };
    call(direct, unsplit);
    call(wrapper, split);
    ASSERT_TRUE(split == unsplit) << "null planes " << nulls;
  }
}

// Rows of the record's width at odd strides of both signs, even ones where
// the elements are 16-bit.
TEST_F(BlndOutput, EveryRecordSlotSplitWritesWhatItWritesUnsplit) {
  constexpr int16_t kWidth = 12;
  AtEachThreadCount([&](int) {
    HostSuites reference;
    PutBlndRoutines(reference);
    uint32_t seed = 1000;
    for (int rows : {1, 2, 3, 7, 8, 9, 31}) {
      const auto r16 = static_cast<int16_t>(rows);
      const auto invert = static_cast<uint8_t>(rows % 2);
      for (int slot : kBlndRecordSlots) {
        SCOPED_TRACE(::testing::Message() << "slot " << slot << ", " << rows << " rows");
        // mode, rows, width, plane 1, stride 1, fill, opacity, plane 2, stride 2, bias,
        // plane 3, stride 3, low, invert, high, offset
        const BlendRecord record = {slot + rows, r16,     kWidth,     nullptr,  -(kWidth + 7), 0x1234,
                                    200,         nullptr, kWidth + 3, rows - 9, nullptr,       kWidth + 1,
                                    20,          invert,  230,        -3};
        ExpectRecordOutputMatches(reference.Table(kBlnd)[slot], suites->Table(kBlnd)[slot], record,
                                  seed += 3);
      }
      for (int slot : kBlndRecord16Slots) {
        SCOPED_TRACE(::testing::Message() << "slot " << slot << ", " << rows << " rows");
        // mode, rows, width, plane 1, stride 1, fill, opacity, plane 2, stride 2, bias,
        // plane 3, stride 3, ceiling, invert
        const BlendRecord16 record = {slot + rows, r16,           kWidth,  nullptr,    -(2 * kWidth + 6),
                                      0x9ABC,      180,           nullptr, 2 * kWidth, -5,
                                      nullptr,     -(kWidth + 1), 60000,   invert};
        ExpectRecordOutputMatches(reference.Table(kBlnd)[slot], suites->Table(kBlnd)[slot], record,
                                  seed += 3);
      }
    }
  });
}

}  // namespace
}  // namespace lumora::testing
