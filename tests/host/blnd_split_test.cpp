// The blending suite's 119 split slots, through the host's own tables: up to
// seven planes sharing strides, optional planes, planes of 16-bit elements,
// a 32-bit row count, and the two parameter records every slice gets a copy of.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "host/rows/blnd_rows.h"
#include "host/slot_table.h"
#include "host/suites/blnd_routines.h"

namespace lumora::testing {
namespace {

// The record routines' slots, and the slots that keep the host's routine.
using RecordSlotList = std::integer_sequence<int, 77, 78, 79, 80, 81, 82, 83, 84, 85, 86, 87, 88, 89, 90, 91,
                                             92, 93, 94, 110, 111, 112>;
using Record16SlotList = std::integer_sequence<int, 116, 117, 118, 119, 120, 121, 122, 123>;
template <int... Slots>
std::vector<int> SlotsOf(std::integer_sequence<int, Slots...>) {
  return {Slots...};
}
const std::vector<int> kRecordSlots = SlotsOf(RecordSlotList{});
const std::vector<int> kRecord16Slots = SlotsOf(Record16SlotList{});
const std::vector<int> kUnwrappedSlots = {0, 6, 44, 101, 113};

// ---- records ----

// Record routines that log the address they were given, then every field.
template <int Slot>
int32_t RecordBlendRecord(void *record) {
  const auto &r = *static_cast<const BlendRecord *>(record);
  CallLog::Add(kBlnd, Slot,
               {AsNumber(record), r.mode, r.rows, r.width, AsNumber(r.plane1), r.stride1, r.fill, r.opacity,
                AsNumber(r.plane2), r.stride2, r.bias, AsNumber(r.plane3), r.stride3, r.low, r.invert, r.high,
                r.offset});
  return 0;
}
template <int Slot>
int32_t RecordBlendRecord16(void *record) {
  const auto &r = *static_cast<const BlendRecord16 *>(record);
  CallLog::Add(kBlnd, Slot,
               {AsNumber(record), r.mode, r.rows, r.width, AsNumber(r.plane1), r.stride1, r.fill, r.opacity,
                AsNumber(r.plane2), r.stride2, r.bias, AsNumber(r.plane3), r.stride3, r.ceiling, r.invert});
  return 0;
}
template <int... Slots>
void PutRecordRecorders(HostSuites &suites, std::integer_sequence<int, Slots...>) {
  (suites.SetSlot(kBlnd, Slots, &RecordBlendRecord<Slots>), ...);
}
template <int... Slots>
void PutRecord16Recorders(HostSuites &suites, std::integer_sequence<int, Slots...>) {
  (suites.SetSlot(kBlnd, Slots, &RecordBlendRecord16<Slots>), ...);
}

// The logged fields as an argument list: the rows, and three planes that
// may be null at their strides (the first two of 16-bit elements in a
// BlendRecord16).
TableRow RecordFields(bool half_planes) {
  TableRow fields;
  fields.rows = 2;
  fields.planes = {{4, {5}, true, half_planes}, {8, {9}, true, half_planes}, {11, {12}, true, false}};
  return fields;
}

// Calls a record slot; every slice must have seen a copy of its own of the
// caller's record, with its rows and planes, and the caller's record must be
// as it was.
template <typename Record>
void ExpectRecordSlices(Routine wrapper, int slot, Record record, int threads) {
  constexpr bool kHalf = sizeof(Record) == sizeof(BlendRecord16);
  const Record before = record;
  CallLog::Clear();
  reinterpret_cast<int32_t (*)(void *)>(wrapper)(&record);
  EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0) << "the caller's record is only read";
  std::vector<RecordedCall> calls = CallLog::Take();

  if constexpr (kHalf) {
    RecordBlendRecord16<0>(&record);
  } else {
    RecordBlendRecord<0>(&record);
  }
  Numbers fields = CallLog::Take().front().args;
  fields.erase(fields.begin());
  std::vector<Numbers> expected = ExpectedSlices(RecordFields(kHalf), fields, threads);
  const Numbers last = expected.back();

  std::set<int64_t> addresses;
  std::set<uint64_t> threads_seen;
  std::vector<Numbers> received;
  bool last_on_caller = false;
  for (RecordedCall &call : calls) {
    EXPECT_EQ(call.slot, slot) << "each slot calls its own saved routine";
    addresses.insert(call.args.front());
    threads_seen.insert(call.thread);
    call.args.erase(call.args.begin());
    last_on_caller = last_on_caller || (call.args == last && call.thread == CurrentThreadTag());
    received.push_back(call.args);
  }
  std::sort(received.begin(), received.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(received, expected);
  EXPECT_TRUE(last_on_caller) << "the last slice runs on the caller";
  EXPECT_EQ(threads_seen.size(), calls.size()) << "every slice on a thread of its own";
  if (expected.size() > 1) {
    EXPECT_EQ(addresses.size(), expected.size()) << "every slice has a copy of its own";
    EXPECT_EQ(addresses.count(AsNumber(&record)), 0u) << "no slice sees the caller's record";
  } else {
    EXPECT_EQ(addresses, std::set<int64_t>{AsNumber(&record)}) << "unsplit: the caller's own record";
  }
}

uint8_t *B(intptr_t address) { return reinterpret_cast<uint8_t *>(address); }
uint16_t *H(intptr_t address) { return reinterpret_cast<uint16_t *>(address); }

// Odd strides of both signs; 16-bit at offset 20 when the record has it.
BlendRecord ProbeRecord(int16_t rows, bool null_second) {
  return {0x01020304, rows,       -7,          B(0x100000),
          -37,        0x55667788, 0xAB,        null_second ? nullptr : B(0x200000),
          41,         -9,         B(0x300000), 43,
          0x0A0B0C0D, 0xEE,       -2,          0x7FFFFFFF};
}
BlendRecord16 ProbeRecord16(int16_t rows, bool null_second, int16_t field20) {
  return {0x01020304, rows,       -7,          H(0x100000),
          -37,        0x55667788, field20,     null_second ? nullptr : H(0x200000),
          41,         -9,         B(0x300000), 43,
          0x0A0B0C0D, 0xEE};
}

// ---- what each slice receives ----

class BlndSlices : public TableTest {
 protected:
  BlndSlices() : TableTest(kBlndRows, nullptr) {}
  void PrepareSuites() override {
    TableTest::PrepareSuites();
    PutRecordRecorders(*suites, RecordSlotList{});
    PutRecord16Recorders(*suites, Record16SlotList{});
  }
  Routine Live(int slot) { return suites->Table(kBlnd)[slot]; }
  void StartWith(int threads) {
    UseProcessors(threads);
    Reload();
    ASSERT_EQ(StartUp(), kResultSuccess);
  }
};

TEST_F(BlndSlices, TheTableNamesEverySlotButTheHostsOwnOnce) {
  std::vector<int> slots = kUnwrappedSlots;
  for (const std::vector<int> *list : {&kRecordSlots, &kRecord16Slots})
    slots.insert(slots.end(), list->begin(), list->end());
  for (const TableRow &row : kBlndRows) slots.insert(slots.end(), row.slots.begin(), row.slots.end());
  std::sort(slots.begin(), slots.end());
  std::vector<int> all(124);
  for (int slot = 0; slot < 124; ++slot) all[static_cast<size_t>(slot)] = slot;
  EXPECT_EQ(slots, all);
}

TEST_F(BlndSlices, StartUpReplacesEveryListedSlotAndNoOther) {
  const std::vector<Routine> host(suites->Table(kBlnd), suites->Table(kBlnd) + 124);
  ASSERT_EQ(StartUp(), kResultSuccess);
  for (int slot = 0; slot < 124; ++slot) {
    const bool kept = std::count(kUnwrappedSlots.begin(), kUnwrappedSlots.end(), slot) != 0;
    EXPECT_EQ(Live(slot) == host[static_cast<size_t>(slot)], kept) << "slot " << slot;
  }
}

TEST_F(BlndSlices, EverySlotAtEveryThreadCount) { ExpectEverySlice(); }

TEST_F(BlndSlices, EveryRecordSliceGetsACopyOfItsOwn) {
  AtEachThreadCount([&](int threads) {
    for (int16_t rows : {static_cast<int16_t>(threads - 1), int16_t{10}, int16_t{13}}) {
      for (bool null_second : {false, true}) {
        SCOPED_TRACE(::testing::Message() << rows << " rows, second plane null " << null_second);
        for (int slot : kRecordSlots)
          ExpectRecordSlices(Live(slot), slot, ProbeRecord(rows, null_second), threads);
        for (int slot : kRecord16Slots) {
          ExpectRecordSlices(Live(slot), slot, ProbeRecord16(rows, null_second, 0x1234), threads);
        }
      }
    }
    // Every plane null, and a 16-bit field at offset 20 that one byte could not carry.
    BlendRecord all_null = ProbeRecord(10, true);
    all_null.plane1 = all_null.plane3 = nullptr;
    ExpectRecordSlices(Live(77), 77, all_null, threads);
    BlendRecord16 all_null16 = ProbeRecord16(10, true, -2);
    all_null16.plane1 = nullptr;
    all_null16.plane3 = nullptr;
    ExpectRecordSlices(Live(116), 116, all_null16, threads);
  });
}

TEST_F(BlndSlices, TheWorkedExamples) {
  if (!CanChooseProcessors()) GTEST_SKIP() << "the processor count is the machine's";
  StartWith(4);
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
  StartWith(3);
  auto at5 = Slices(114, {10000, 20000, 30000, 9, 12, 5, -5, 5});
  ASSERT_EQ(at5.size(), 3u);
  std::sort(at5.begin(), at5.end(), [](const Numbers &a, const Numbers &b) { return a[2] < b[2]; });
  EXPECT_EQ(at5[1], (Numbers{10014, 19984, 30015, 3, 12, 5, -5, 5}));
  EXPECT_EQ(at5[2], (Numbers{10030, 19970, 30030, 3, 12, 5, -5, 5}));
  // Seven rows on two threads: 3 and 4, each a 32-bit count.
  StartWith(2);
  EXPECT_EQ(
      Slices(114, {10000, 20000, 30000, 7, 12, 4, 4, 4}),
      (std::vector<Numbers>{{10000, 20000, 30000, 3, 12, 4, 4, 4}, {10012, 20012, 30012, 4, 12, 4, 4, 4}}));
}

// Counts whose slices hold more than 32767 rows: every slice gets its exact
// 32-bit share, and the planes move by it.
TEST_F(BlndSlices, SlotOneFourteenDividesLargeCountsExactly) {
  AtEachThreadCount([&](int threads) {
    for (int64_t rows :
         {int64_t{70000}, int64_t{65537} * threads / 2, int64_t{131072} * threads / 2, int64_t{0x7FFFFFFF}}) {
      SCOPED_TRACE(::testing::Message() << rows << " rows");
      const Numbers in = {0x100000, 0x200000, 0x300000, rows, 12, 2, -4, 1};
      std::vector<Numbers> expected = ExpectedSlices(RowOf(114), in, threads);
      ASSERT_EQ(expected.size(), static_cast<size_t>(threads));
      std::sort(expected.begin(), expected.end());
      EXPECT_EQ(Slices(114, in), expected);
    }
  });
}

// A routine running in a slice that calls another wrapped slot finds it unsplit.
int32_t RecordCallingSlotTwo(void *record) {
  const auto *r = static_cast<const BlendRecord *>(record);
  CallLog::Add(kBlnd, 77, {r->rows});
  Routine *table = reinterpret_cast<Routine *>(r->plane1);
  return reinterpret_cast<int32_t (*)(Ptr, Ptr, Ptr, I16, I16, I16, I16, I16)>(table[2])(
      nullptr, nullptr, nullptr, 40, 12, 1, 1, 1);
}

class BlndNested : public BlndSlices {
 protected:
  void PrepareSuites() override {
    BlndSlices::PrepareSuites();
    suites->SetSlot(kBlnd, 77, &RecordCallingSlotTwo);
  }
};

TEST_F(BlndNested, AWrappedSlotCalledInsideARecordSliceRunsUnsplit) {
  AtEachThreadCount([&](int threads) {
    BlendRecord record = ProbeRecord(static_cast<int16_t>(threads * 3), false);
    record.plane1 = reinterpret_cast<uint8_t *>(suites->Table(kBlnd));
    record.stride1 = 0;  // every slice's copy keeps the table's address
    CallLog::Clear();
    reinterpret_cast<int32_t (*)(void *)>(Live(77))(&record);
    int record_slices = 0;
    for (const RecordedCall &call : CallLog::Take()) {
      if (call.slot == 77) {
        ++record_slices;
      } else {
        EXPECT_EQ(call.slot, 2);
        EXPECT_EQ(call.args[3], 40) << "inside a slice, slot 2 runs once with all its rows";
      }
    }
    EXPECT_EQ(record_slices, threads);
  });
}

// ---- split output against unsplit output ----

class BlndOutput : public TableTest {
 protected:
  BlndOutput() : TableTest(kBlndRows, &PutBlndRoutines) {}
  Routine Live(int slot) { return suites->Table(kBlnd)[slot]; }
};

TEST_F(BlndOutput, EverySlotSplitWritesWhatItWritesUnsplit) { ExpectEveryOutput(); }

// Which record planes are null in a call.
struct NullPlanes {
  bool first, second, third;
};
constexpr NullPlanes kNullPatterns[] = {{false, false, false},
                                        {false, true, false},
                                        {false, false, true},
                                        {false, true, true},
                                        {true, false, false}};

// A record's planes pointed into `planes`, but those that are to be null.
template <typename Record>
void PointRecordInto(Record &record, std::vector<GuardedBuffer> &planes, const NullPlanes &nulls) {
  const int rows = record.rows;
  record.plane1 = nulls.first
                      ? nullptr
                      : reinterpret_cast<decltype(record.plane1)>(planes[0].PlaneStart(rows, record.stride1));
  record.plane2 = nulls.second
                      ? nullptr
                      : reinterpret_cast<decltype(record.plane2)>(planes[1].PlaneStart(rows, record.stride2));
  record.plane3 = nulls.third ? nullptr : planes[2].PlaneStart(rows, record.stride3);
}

template <typename Record>
void ExpectRecordOutputMatches(Routine direct, Routine wrapper, Record record, uint32_t seed) {
  const int rows = record.rows;
  const std::vector<GuardedBuffer> planes = {GuardedBuffer(PlaneBytes(rows, record.stride1), seed),
                                             GuardedBuffer(PlaneBytes(rows, record.stride2), seed + 1),
                                             GuardedBuffer(PlaneBytes(rows, record.stride3), seed + 2)};
  for (const NullPlanes &nulls : kNullPatterns) {
    SCOPED_TRACE(::testing::Message() << "null planes " << nulls.first << nulls.second << nulls.third);
    std::vector<GuardedBuffer> split = planes, unsplit = planes;
    Record split_record = record, unsplit_record = record;
    PointRecordInto(unsplit_record, unsplit, nulls);
    PointRecordInto(split_record, split, nulls);
    reinterpret_cast<int32_t (*)(void *)>(direct)(&unsplit_record);
    reinterpret_cast<int32_t (*)(void *)>(wrapper)(&split_record);
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
      for (int slot : kRecordSlots) {
        SCOPED_TRACE(::testing::Message() << "slot " << slot << ", " << rows << " rows");
        // mode, rows, width, plane 1, stride 1, fill, opacity, plane 2, stride 2, bias,
        // plane 3, stride 3, low, invert, high, offset
        const BlendRecord record = {slot + rows, r16,     kWidth,     nullptr,  -(kWidth + 6), 0x1234,
                                    200,         nullptr, kWidth + 2, rows - 9, nullptr,       kWidth,
                                    20,          invert,  230,        -3};
        ExpectRecordOutputMatches(reference.Table(kBlnd)[slot], Live(slot), record, seed += 3);
      }
      for (int slot : kRecord16Slots) {
        SCOPED_TRACE(::testing::Message() << "slot " << slot << ", " << rows << " rows");
        // mode, rows, width, plane 1, stride 1, fill, opacity, plane 2, stride 2, bias,
        // plane 3, stride 3, ceiling, invert
        const BlendRecord16 record = {slot + rows, r16,           kWidth,  nullptr,    -(2 * kWidth + 6),
                                      0x9ABC,      180,           nullptr, 2 * kWidth, -5,
                                      nullptr,     -(kWidth + 1), 60000,   invert};
        ExpectRecordOutputMatches(reference.Table(kBlnd)[slot], Live(slot), record, seed += 3);
      }
    }
  });
}

}  // namespace
}  // namespace lumora::testing
