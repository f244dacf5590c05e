// The blending suite through the host's table: what each slice of every
// wrapped slot receives, with routines that only record their calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "host/blnd_table.h"
#include "host/suites/blnd_routines.h"
#include "host/thread_tag.h"

namespace lumora::testing {
namespace {

using Args = std::vector<int64_t>;

// The bands the host's table promises: rows per slice truncated, the last
// slice taking the rest; too few rows give one band, the caller's own call.
struct Band {
  int64_t first;
  int64_t count;
};
std::vector<Band> BandsOf(int64_t rows, int threads) {
  const int64_t per_slice = rows / threads;
  if (per_slice <= 0) return {{0, rows}};
  std::vector<Band> bands;
  for (int k = 0; k < threads; ++k)
    bands.push_back({k * per_slice, k == threads - 1 ? rows - k * per_slice : per_slice});
  return bands;
}

// A plane `first` rows on; a null optional plane stays null, and a plane of
// 16-bit elements moves by its offset rounded down to even bytes.
int64_t Moved(Is is, int64_t plane, int64_t first, int64_t stride) {
  if (is == Is::kOptionalPlane && plane == 0) return 0;
  const int64_t offset = first * stride;
  const int64_t moved = plane + (is == Is::kHalfPlane ? (offset >> 1) * 2 : offset);
  return static_cast<int64_t>(static_cast<intptr_t>(moved));  // as wide as a pointer
}

// Arguments whose every value tells where it came from: planes far apart,
// odd strides of both signs, other values of their own width.
Args ProbeArgs(const TableRow &row, int64_t rows, bool null_optionals) {
  const size_t n = row.roles.size();
  std::vector<bool> is_stride(n);
  for (const ArgRole &role : row.roles) {
    if (IsPlane(role)) is_stride[static_cast<size_t>(role.stride - 1)] = true;
  }
  Args args(n);
  for (size_t i = 0; i < n; ++i) {
    const int64_t index = static_cast<int64_t>(i);
    const ArgRole &role = row.roles[i];
    if (IsPlane(role)) {
      args[i] = role.is == Is::kOptionalPlane && null_optionals ? 0 : 0x100000 * (index + 1);
    } else if (role.is == Is::kCount) {
      args[i] = rows;
    } else if (is_stride[i]) {
      args[i] = (i % 2 == 0 ? 1 : -1) * (21 + 2 * index);
    } else {
      args[i] = row.widths[i] == 'h'   ? -1000 - index
                : row.widths[i] == 'l' ? 0x12340000 + index
                                       : 0xC0 + index;
    }
  }
  return args;
}

std::vector<Args> ExpectedSlices(const TableRow &row, const Args &args, int threads) {
  const auto count =
      std::find_if(row.roles.begin(), row.roles.end(), [](const ArgRole &r) { return r.is == Is::kCount; });
  const size_t count_arg = static_cast<size_t>(count - row.roles.begin());
  std::vector<Args> slices;
  for (const Band &band : BandsOf(args[count_arg], threads)) {
    Args slice = args;
    slice[count_arg] = band.count;
    for (size_t i = 0; i < args.size(); ++i) {
      const ArgRole &role = row.roles[i];
      if (IsPlane(role))
        slice[i] = Moved(role.is, args[i], band.first, args[static_cast<size_t>(role.stride - 1)]);
    }
    slices.push_back(slice);
  }
  return slices;
}

// The recorded calls are exactly the expected slices, each of the slot's own
// routine, each on a thread of its own, the last on the caller's.
void ExpectSlices(std::vector<RecordedCall> calls, std::vector<Args> expected, int slot) {
  ASSERT_EQ(calls.size(), expected.size());
  std::set<uint64_t> threads;
  std::vector<Args> received;
  bool last_on_caller = false;
  for (const RecordedCall &call : calls) {
    EXPECT_EQ(call.slot, slot) << "a slot calls its own saved routine";
    threads.insert(call.thread);
    received.push_back(call.args);
    last_on_caller = last_on_caller || (call.args == expected.back() && call.thread == CurrentThreadTag());
  }
  EXPECT_TRUE(last_on_caller) << "the last slice is the caller's";
  EXPECT_EQ(threads.size(), calls.size());
  std::sort(received.begin(), received.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(received, expected);
}

// Record routines that log the address they were given and every field.
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

// Where the logged record fields (after the address) hold the rows and the
// planes with their strides.
constexpr size_t kRowsField = 1;
struct PlaneField {
  size_t plane;
  size_t stride;
};
constexpr PlaneField kRecordPlanes[] = {{3, 4}, {7, 8}, {10, 11}};

// Calls a record slot and checks that every slice saw its own copy of the
// caller's record, with its rows and planes, and that the caller's record is
// as it was.
template <typename Record>
void CheckRecordSlices(Routine wrapper, int slot, Record record, int threads, bool half_planes) {
  const Record before = record;
  CallLog::Clear();
  reinterpret_cast<int32_t (*)(void *)>(wrapper)(&record);
  EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0) << "the caller's record is only read";

  std::vector<RecordedCall> calls = CallLog::Take();
  std::set<int64_t> addresses;
  for (RecordedCall &call : calls) {
    addresses.insert(call.args.front());
    call.args.erase(call.args.begin());
  }
  // The caller's record's fields, as the log gives them.
  const Args fields = [&] {
    CallLog::Clear();
    if constexpr (sizeof(Record) == sizeof(BlendRecord)) {
      RecordBlendRecord<0>(&record);
    } else {
      RecordBlendRecord16<0>(&record);
    }
    Args logged = CallLog::Take().front().args;
    logged.erase(logged.begin());
    return logged;
  }();
  std::vector<Args> expected;
  for (const Band &band : BandsOf(fields[kRowsField], threads)) {
    Args slice = fields;
    slice[kRowsField] = band.count;
    for (size_t i = 0; i < 3; ++i) {
      const Is is = half_planes && i < 2 ? Is::kHalfPlane : Is::kPlane;
      const PlaneField f = kRecordPlanes[i];
      slice[f.plane] = fields[f.plane] == 0 ? 0 : Moved(is, fields[f.plane], band.first, fields[f.stride]);
    }
    expected.push_back(slice);
  }
  const bool split = expected.size() > 1;
  ExpectSlices(calls, expected, slot);
  if (split) {
    EXPECT_EQ(addresses.size(), expected.size()) << "every slice has a copy of its own";
    EXPECT_EQ(addresses.count(AsNumber(&record)), 0u) << "no slice sees the caller's record";
  } else {
    EXPECT_EQ(addresses, std::set<int64_t>{AsNumber(&record)}) << "unsplit: the caller's own record";
  }
}

void *P(intptr_t address) { return reinterpret_cast<void *>(address); }
uint8_t *B(intptr_t address) { return reinterpret_cast<uint8_t *>(address); }
uint16_t *H(intptr_t address) { return reinterpret_cast<uint16_t *>(address); }

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

class BlndSlices : public BlndTest {
 protected:
  void PrepareSuites() override {
    for (const TableRow &row : BlndTable()) row.put_recorders(*suites);
    PutRecordRecorders(*suites, RecordSlotList{});
    PutRecord16Recorders(*suites, Record16SlotList{});
  }
  template <typename... Ts>
  std::vector<RecordedCall> CallSlot(int slot, Ts... args) {
    CallLog::Clear();
    reinterpret_cast<int32_t (*)(Ts...)>(Live(slot))(args...);
    return CallLog::Take();
  }
  void StartWith(int threads) {
    UseProcessors(threads);
    Reload();
    ASSERT_EQ(StartUp(), kResultSuccess);
  }
};

TEST_F(BlndSlices, TheTableNamesEverySlotButTheHostsOwnOnce) {
  std::vector<int> slots = kUnwrappedSlots;
  for (const TableRow &row : BlndTable()) {
    slots.insert(slots.end(), row.slots.begin(), row.slots.end());
    ASSERT_EQ(row.roles.size(), row.widths.size()) << "slot " << row.slots.front();
    int counts = 0;
    for (size_t i = 0; i < row.roles.size(); ++i) {
      counts += row.roles[i].is == Is::kCount ? 1 : 0;
      EXPECT_EQ(IsPlane(row.roles[i]), row.widths[i] == 'p')
          << "slot " << row.slots.front() << " arg " << i + 1;
      if (IsPlane(row.roles[i])) {
        EXPECT_NE(row.widths[static_cast<size_t>(row.roles[i].stride - 1)], 'p');
      }
    }
    EXPECT_EQ(counts, 1) << "slot " << row.slots.front();
  }
  slots.insert(slots.end(), kRecordSlots.begin(), kRecordSlots.end());
  slots.insert(slots.end(), kRecord16Slots.begin(), kRecord16Slots.end());
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

TEST_F(BlndSlices, EveryArgumentListSplitsAsTheTableSays) {
  const std::vector<TableRow> table = BlndTable();
  AtEachThreadCount([&](int threads) {
    for (const TableRow &row : table) {
      const bool has_optional = std::any_of(row.roles.begin(), row.roles.end(),
                                            [](const ArgRole &r) { return r.is == Is::kOptionalPlane; });
      for (int slot : row.slots) {
        for (int64_t rows : {int64_t{threads} - 1, int64_t{threads}, int64_t{10}, int64_t{13}, int64_t{31}}) {
          for (bool null_optionals : {false, true}) {
            if (null_optionals && !has_optional) continue;
            SCOPED_TRACE(::testing::Message()
                         << "slot " << slot << ", " << rows << " rows, nulls " << null_optionals);
            const Args args = ProbeArgs(row, rows, null_optionals);
            CallLog::Clear();
            row.call(Live(slot), args);
            ExpectSlices(CallLog::Take(), ExpectedSlices(row, args, threads), slot);
          }
        }
      }
    }
  });
}

TEST_F(BlndSlices, EveryRecordSliceGetsACopyOfItsOwn) {
  AtEachThreadCount([&](int threads) {
    for (int16_t rows : {static_cast<int16_t>(threads - 1), int16_t{10}, int16_t{13}}) {
      for (bool null_second : {false, true}) {
        SCOPED_TRACE(::testing::Message() << rows << " rows, second plane null " << null_second);
        for (int slot : kRecordSlots) {
          CheckRecordSlices(Live(slot), slot, ProbeRecord(rows, null_second), threads, false);
        }
        for (int slot : kRecord16Slots) {
          CheckRecordSlices(Live(slot), slot, ProbeRecord16(rows, null_second, 0x1234), threads, true);
        }
      }
    }
    // Every plane null, and a 16-bit field at offset 20 that one byte could not carry.
    BlendRecord all_null = ProbeRecord(10, true);
    all_null.plane1 = all_null.plane3 = nullptr;
    CheckRecordSlices(Live(kRecordSlots.front()), kRecordSlots.front(), all_null, threads, false);
    BlendRecord16 all_null16 = ProbeRecord16(10, true, -2);
    all_null16.plane1 = nullptr;
    all_null16.plane3 = nullptr;
    CheckRecordSlices(Live(kRecord16Slots.front()), kRecord16Slots.front(), all_null16, threads, true);
  });
}

TEST_F(BlndSlices, WorkedExamplesOnFourThreads) {
  if (!CanChooseProcessors()) GTEST_SKIP() << "the processor count is the machine's";
  StartWith(4);
  using Calls = std::vector<Args>;
  auto args_of = [](std::vector<RecordedCall> calls) {
    Calls out;
    for (const RecordedCall &call : calls) out.push_back(call.args);
    std::sort(out.begin(), out.end());
    return out;
  };
  // Slot 2, 10 rows: 2, 2, 2 and 4 rows; planes 1 and 3 at 2k rows of their strides.
  EXPECT_EQ(args_of(CallSlot<void *, void *, void *, int16_t, int16_t, int16_t, int16_t, int16_t>(
                2, P(1000), P(5000), P(9000), 10, 12, 100, 40, -8)),
            (Calls{{1000, 5000, 9000, 2, 12, 100, 40, -8},
                   {1200, 5080, 8984, 2, 12, 100, 40, -8},
                   {1400, 5160, 8968, 2, 12, 100, 40, -8},
                   {1600, 5240, 8952, 4, 12, 100, 40, -8}}));
  // Slot 13: planes 1-3 by argument 10, 4-6 by 11, 7 by 12.
  const Calls slot13 = args_of(CallSlot<void *, void *, void *, void *, void *, void *, void *, int16_t,
                                        int16_t, int16_t, int16_t, int16_t>(
      13, P(1000), P(2000), P(3000), P(4000), P(5000), P(6000), P(7000), 10, 12, 10, 20, -30));
  ASSERT_EQ(slot13.size(), 4u);
  EXPECT_EQ(slot13[1], (Args{1020, 2020, 3020, 4040, 5040, 6040, 6940, 2, 12, 10, 20, -30}));
  EXPECT_EQ(slot13[3], (Args{1060, 2060, 3060, 4120, 5120, 6120, 6820, 4, 12, 10, 20, -30}));
  // Slot 3 divides its fourth argument; its 16-bit first argument reaches every slice.
  const Calls slot3 = args_of(CallSlot<int16_t, void *, void *, int16_t, int16_t, int16_t, int16_t>(
      3, -2, P(1000), P(2000), 10, 12, 7, 9));
  ASSERT_EQ(slot3.size(), 4u);
  EXPECT_EQ(slot3[3], (Args{-2, 1042, 2054, 4, 12, 7, 9}));
  // Slot 109: null optional planes stay null; others move by arguments 9 and 11.
  using Slot109 = int32_t (*)(void *, void *, void *, void *, void *, void *, int16_t, int16_t, int16_t,
                              int16_t, int16_t, int32_t, int32_t, int16_t);
  for (intptr_t optional : {intptr_t{0}, intptr_t{8000}}) {
    CallLog::Clear();
    reinterpret_cast<Slot109>(Live(109))(P(1000), P(2000), P(3000), P(optional), P(5000),
                                         P(optional ? 9000 : 0), 10, 12, 10, 20, 30, 0x12345678, -1, 5);
    const Calls slot109 = args_of(CallLog::Take());
    ASSERT_EQ(slot109.size(), 4u);
    EXPECT_EQ(slot109[3], (Args{1060, 2060, 3060, optional ? 8060 : 0, 5120, optional ? 9180 : 0, 4, 12, 10,
                                20, 30, 0x12345678, -1, 5}));
  }
}

TEST_F(BlndSlices, SlotOneFourteenRoundsItsHalfPlanesToEvenBytes) {
  if (!CanChooseProcessors()) GTEST_SKIP() << "the processor count is the machine's";
  using Slot114 = int32_t (*)(void *, void *, void *, int32_t, int32_t, int32_t, int32_t, int32_t);
  auto slices = [&](int32_t rows, int32_t s1, int32_t s2, int32_t s3) {
    CallLog::Clear();
    reinterpret_cast<Slot114>(Live(114))(P(10000), P(20000), P(30000), rows, 12, s1, s2, s3);
    std::vector<Args> out;
    for (const RecordedCall &call : CallLog::Take()) out.push_back(call.args);
    std::sort(out.begin(), out.end(), [](const Args &a, const Args &b) { return a[2] < b[2]; });
    return out;
  };
  StartWith(3);
  // Three rows per slice at a stride of 5: 15 bytes rounds to 14, 30 stays.
  auto at5 = slices(9, 5, 5, 5);
  ASSERT_EQ(at5.size(), 3u);
  EXPECT_EQ(at5[1], (Args{10014, 20014, 30015, 3, 12, 5, 5, 5}));
  EXPECT_EQ(at5[2], (Args{10030, 20030, 30030, 3, 12, 5, 5, 5}));
  // A stride of -5: -15 bytes rounds down to -16.
  auto back5 = slices(9, -5, 6, 5);
  ASSERT_EQ(back5.size(), 3u);
  EXPECT_EQ(back5[1], (Args{9984, 20018, 30015, 3, 12, -5, 6, 5}));
  // Seven rows on two threads: 3 and 4, each a 32-bit count.
  StartWith(2);
  auto seven = slices(7, 4, 4, 4);
  ASSERT_EQ(seven.size(), 2u);
  EXPECT_EQ(seven[0], (Args{10000, 20000, 30000, 3, 12, 4, 4, 4}));
  EXPECT_EQ(seven[1], (Args{10012, 20012, 30012, 4, 12, 4, 4, 4}));
}

// Counts whose slices hold more than 32767 rows: every slice gets its exact
// 32-bit share, and the planes move by it.
TEST_F(BlndSlices, SlotOneFourteenDividesLargeCountsExactly) {
  const auto table = BlndTable();
  const TableRow &row = table.back();
  ASSERT_EQ(row.slots, std::vector<int>{114});
  AtEachThreadCount([&](int threads) {
    for (int64_t rows :
         {int64_t{70000}, int64_t{65537} * threads / 2, int64_t{131072} * threads / 2, int64_t{0x7FFFFFFF}}) {
      SCOPED_TRACE(::testing::Message() << rows << " rows");
      Args args = {0x100000, 0x200000, 0x300000, rows, 12, 2, -4, 1};
      CallLog::Clear();
      row.call(Live(114), args);
      ExpectSlices(CallLog::Take(), ExpectedSlices(row, args, threads), 114);
    }
  });
}

// A routine running in a slice that calls another wrapped slot finds it unsplit.
int32_t RecordCallingSlotTwo(void *record) {
  const auto *r = static_cast<const BlendRecord *>(record);
  CallLog::Add(kBlnd, 77, {r->rows});
  Routine *table = reinterpret_cast<Routine *>(r->plane1);
  return reinterpret_cast<int32_t (*)(void *, void *, void *, int16_t, int16_t, int16_t, int16_t, int16_t)>(
      table[2])(P(1000), P(2000), P(3000), 40, 12, 1, 1, 1);
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
    record.stride1 = 0;  // every slice's copy keeps the table's address
    record.plane1 = reinterpret_cast<uint8_t *>(suites->Table(kBlnd));
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

}  // namespace
}  // namespace lumora::testing
