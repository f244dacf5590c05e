// The blending suite's 119 split slots, through the host's own tables: up to
// seven planes sharing strides, optional planes, planes of 16-bit elements,
// a 32-bit row count, and the two parameter records every slice gets a copy of.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "host/rows/blnd_rows.h"
#include "host/slot_table.h"
#include "host/suites/blnd_routines.h"

namespace lumora::testing {
namespace {

using RecordRoutine = int32_t (*)(Ptr);

// A record routine that logs the address it was given, then every field:
// first those a split changes (rows, the planes and their strides).
template <typename Record, int Slot>
int32_t LogRecord(Ptr record) {
  const Record &r = *static_cast<const Record *>(record);
  if constexpr (std::is_same_v<Record, BlendRecord>) {
    CallLog::Add(kBlnd, Slot, {AsNumber(record), r.rows, AsNumber(r.plane1), r.stride1, AsNumber(r.plane2), r.stride2,
                               AsNumber(r.plane3), r.stride3, r.mode, r.width, r.fill, r.opacity, r.bias, r.low,
                               r.invert, r.high, r.offset});
  } else {
    CallLog::Add(kBlnd, Slot, {AsNumber(record), r.rows, AsNumber(r.plane1), r.stride1, AsNumber(r.plane2), r.stride2,
                               AsNumber(r.plane3), r.stride3, r.mode, r.width, r.fill, r.opacity, r.bias, r.ceiling,
                               r.invert});
  }
  return kRecordedResult;
}
template <typename Record, const int *Slots, size_t... I>
void PutRecordLoggers(HostSuites &suites, std::index_sequence<I...>) {
  (suites.SetSlot(kBlnd, Slots[I], &LogRecord<Record, Slots[I]>), ...);
}

// The logged fields but the address as an argument list: the rows, and three
// planes that may be null, the first two of 16-bit elements in a BlendRecord16.
template <typename Record>
TableRow RecordFields() {
  const bool half = std::is_same_v<Record, BlendRecord16>;
  TableRow fields;
  fields.kinds = {'h', 'p', 'w', 'p', 'w', 'p', 'w'};
  fields.Rows(1).Optional(half ? EvenPlane(2, 3) : Plane(2, 3)).Optional(half ? EvenPlane(4, 5) : Plane(4, 5));
  return fields.Optional(Plane(6, 7));
}

// Calls a record slot: every slice must have seen a copy of its own of the
// caller's record, with its rows and planes, and the caller's record must be
// as it was.
template <typename Record>
void ExpectRecordSlices(Routine wrapper, int slot, Record record, int threads) {
  const Record before = record;
  CallLog::Clear();
  const int32_t result = reinterpret_cast<RecordRoutine>(wrapper)(&record);
  EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0) << "the caller's record is only read";
  std::vector<RecordedCall> calls = CallLog::Take();
  LogRecord<Record, 0>(&record);
  Numbers fields = CallLog::Take().front().args;
  fields.erase(fields.begin());
  std::vector<Numbers> expected = ExpectedSlices(RecordFields<Record>(), fields, threads);
  EXPECT_EQ(result, expected.size() == 1 ? kRecordedResult : 0);
  const Numbers last = expected.back();
  std::set<int64_t> addresses;
  std::set<uint64_t> threads_seen;
  std::vector<Numbers> received, on_caller;
  for (RecordedCall &call : calls) {
    EXPECT_EQ(call.slot, slot) << "each slot calls its own saved routine";
    addresses.insert(call.args.front());
    threads_seen.insert(call.thread);
    call.args.erase(call.args.begin());
    if (call.thread == CurrentThreadTag()) on_caller.push_back(call.args);
    received.push_back(call.args);
  }
  EXPECT_EQ(on_caller, std::vector<Numbers>{last}) << "the last slice, and only it, runs on the caller";
  std::sort(received.begin(), received.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(received, expected);
  EXPECT_EQ(threads_seen.size(), calls.size()) << "every slice on a thread of its own";
  if (expected.size() > 1) {
    EXPECT_EQ(addresses.size(), expected.size()) << "every slice has a copy of its own";
    EXPECT_EQ(addresses.count(AsNumber(&record)), 0u) << "no slice sees the caller's record";
  } else {
    EXPECT_EQ(addresses, std::set<int64_t>{AsNumber(&record)}) << "unsplit: the caller's own record";
  }
}

template <typename Plane = uint8_t>
Plane *At(intptr_t address) {
  return reinterpret_cast<Plane *>(address);
}

class BlndSlices : public TableTest {
 protected:
  BlndSlices() : TableTest(kBlndRows, nullptr) {}
  void PrepareSuites() override {
    TableTest::PrepareSuites();
    PutRecordLoggers<BlendRecord, kBlndRecordSlots>(*suites, std::make_index_sequence<std::size(kBlndRecordSlots)>());
    PutRecordLoggers<BlendRecord16, kBlndRecord16Slots>(*suites,
                                                        std::make_index_sequence<std::size(kBlndRecord16Slots)>());
  }
};

TEST_F(BlndSlices, EverySlotAtEveryThreadCount) { ExpectEverySlice(); }

// Odd strides of both signs; planes null or not; a 16-bit field at offset 20
// that one byte could not carry.
TEST_F(BlndSlices, EveryRecordSliceGetsACopyOfItsOwn) {
  AtEachThreadCount([&](int threads) {
    for (int16_t rows : {static_cast<int16_t>(threads - 1), int16_t{10}, int16_t{13}}) {
      for (int nulls : {0, 2, 7}) {  // which planes are null, a bit each
        SCOPED_TRACE(::testing::Message() << rows << " rows, null planes " << nulls);
        const BlendRecord record = {0x01020304,  rows,       -7, nulls & 1 ? nullptr : At(0x100000),
                                    -37,         0x55667788, 0xAB, nulls & 2 ? nullptr : At(0x200000),
                                    41,          -9,         nulls & 4 ? nullptr : At(0x300000),
                                    43,          0x0A0B0C0D, 0xEE, -2, 0x7FFFFFFF};
        const BlendRecord16 record16 = {0x01020304, rows,       -7, nulls & 1 ? nullptr : At<uint16_t>(0x100000),
                                        -37,        0x55667788, -2, nulls & 2 ? nullptr : At<uint16_t>(0x200000),
                                        41,         -9,         nulls & 4 ? nullptr : At(0x300000),
                                        43,         0x0A0B0C0D, 0xEE};
        for (int slot : kBlndRecordSlots) ExpectRecordSlices(suites->Table(kBlnd)[slot], slot, record, threads);
        for (int slot : kBlndRecord16Slots) ExpectRecordSlices(suites->Table(kBlnd)[slot], slot, record16, threads);
      }
    }
  });
}

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
    EXPECT_EQ(slot109[3], (Numbers{1060, 2060, 3060, optional ? 8060 : 0, 5120, optional ? 9180 : 0, 4, 12, 10, 20,
                                   30, 0x12345678, -1, 5}));
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
  EXPECT_EQ(Slices(114, {10000, 20000, 30000, 7, 12, 4, 4, 4}),
            (std::vector<Numbers>{{10000, 20000, 30000, 3, 12, 4, 4, 4}, {10012, 20012, 30012, 4, 12, 4, 4, 4}}));
}

class BlndOutput : public TableTest {
 protected:
  BlndOutput() : TableTest(kBlndRows, &PutBlndRoutines) {}
};

TEST_F(BlndOutput, EverySlotSplitWritesWhatItWritesUnsplit) { ExpectEveryOutput(); }

// A record's planes pointed into copies of `planes`, but those that are to be
// null; split and unsplit must write the same.
template <typename Record>
void ExpectRecordOutputMatches(Routine direct, Routine wrapper, Record record, uint32_t seed) {
  const int rows = record.rows;
  const int32_t strides[] = {record.stride1, record.stride2, record.stride3};
  std::vector<GuardedBuffer> planes;
  for (uint32_t m = 0; m < 3; ++m) planes.emplace_back(PlaneBytes(rows, strides[m]), seed + m);
  for (int nulls : {0, 1, 2, 4, 6}) {  // which planes are null, a bit each
    SCOPED_TRACE(::testing::Message() << "null planes " << nulls);
    std::vector<GuardedBuffer> split = planes, unsplit = planes;
    const auto call = [&](Routine routine, std::vector<GuardedBuffer> &buffers) {
      Record r = record;
      uint8_t *at[3];
      for (size_t m = 0; m < 3; ++m) at[m] = nulls >> m & 1 ? nullptr : buffers[m].PlaneStart(rows, strides[m]);
      r.plane1 = reinterpret_cast<decltype(r.plane1)>(at[0]);
      r.plane2 = reinterpret_cast<decltype(r.plane2)>(at[1]);
      r.plane3 = at[2];
      reinterpret_cast<RecordRoutine>(routine)(&r);
    };
    call(direct, unsplit);
    call(wrapper, split);
    ASSERT_TRUE(split == unsplit);
  }
}

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
        const BlendRecord record = {slot + rows, r16,     kWidth,     nullptr,  -(kWidth + 6), 0x1234,
                                    200,         nullptr, kWidth + 2, rows - 9, nullptr,       kWidth,
                                    20,          invert,  230,        -3};
        ExpectRecordOutputMatches(reference.Table(kBlnd)[slot], suites->Table(kBlnd)[slot], record, seed += 3);
      }
      for (int slot : kBlndRecord16Slots) {
        SCOPED_TRACE(::testing::Message() << "slot " << slot << ", " << rows << " rows");
        // mode, rows, width, plane 1, stride 1, fill, opacity, plane 2, stride 2, bias,
        // plane 3, stride 3, ceiling, invert
        const BlendRecord16 record = {slot + rows, r16,           kWidth,  nullptr,    -(2 * kWidth + 6),
                                      0x9ABC,      180,           nullptr, 2 * kWidth, -5,
                                      nullptr,     -(kWidth + 1), 60000,   invert};
        ExpectRecordOutputMatches(reference.Table(kBlnd)[slot], suites->Table(kBlnd)[slot], record, seed += 3);
      }
    }
  });
}

}  // namespace
}  // namespace lumora::testing
