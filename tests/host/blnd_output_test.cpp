// The blending suite's split output against the unsplit output of the same
// host routines called directly: byte for byte, guard bytes included, for
// every wrapped slot at every thread count, over odd and tiny row counts.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "host/blnd_table.h"
#include "host/guarded_buffer.h"
#include "host/suites/blnd_routines.h"

namespace lumora::testing {
namespace {

using Args = std::vector<int64_t>;
using Planes = std::vector<GuardedBuffer>;

constexpr int kWidth = 12;  // elements per row
constexpr int kRowCounts[] = {1, 2, 3, 7, 8, 9, 31};

// One call's arguments with its planes left out, and the planes it works on.
struct Case {
  Args values;
  std::vector<size_t> plane_args;  // the arguments that point into `planes`, in order
  Planes planes;
};

// Strides of both signs, even, and wide enough for the widest plane that uses
// them; other values drawn at random in their widths.
Case MakeCase(const TableRow &row, int rows, bool null_optionals, uint32_t seed) {
  std::mt19937 random(seed);
  const size_t n = row.roles.size();
  std::vector<int> row_bytes(n, 0);  // per stride argument: the widest row it must hold
  for (const ArgRole &role : row.roles) {
    if (!IsPlane(role)) continue;
    int &bytes = row_bytes[static_cast<size_t>(role.stride - 1)];
    bytes = std::max(bytes, kWidth * (role.is == Is::kHalfPlane ? 2 : 1));
  }
  Case c;
  c.values.resize(n);
  int strides = 0;
  for (size_t i = 0; i < n; ++i) {
    const ArgRole &role = row.roles[i];
    if (role.is == Is::kCount) {
      c.values[i] = rows;
    } else if (role.is == Is::kWidth) {
      c.values[i] = kWidth;
    } else if (row_bytes[i] != 0) {
      ++strides;
      c.values[i] = (strides % 2 == 0 ? -1 : 1) * (row_bytes[i] + 4 * strides);
    } else if (!IsPlane(role)) {
      const char width = row.widths[i];
      const bool wide = random() % 2 == 0;
      auto draw = [&](int64_t low, int64_t high) {
        return low + static_cast<int64_t>(random() % static_cast<uint32_t>(high - low + 1));
      };
      c.values[i] = width == 'b'   ? draw(0, 255)
                    : width == 'h' ? draw(-400, 400)
                    : wide         ? draw(-70000, 70000)
                                   : draw(-50, 300);
    }
  }
  for (size_t i = 0; i < n; ++i) {
    const ArgRole &role = row.roles[i];
    if (!IsPlane(role) || (role.is == Is::kOptionalPlane && null_optionals)) continue;
    c.plane_args.push_back(i);
    const auto stride = static_cast<int>(c.values[static_cast<size_t>(role.stride - 1)]);
    c.planes.emplace_back(PlaneBytes(rows, stride), static_cast<uint32_t>(random()));
  }
  return c;
}

// The case's arguments, its planes in `planes` (a copy of the case's own).
Args ArgsInto(const TableRow &row, const Case &c, Planes &planes) {
  Args args = c.values;
  const auto rows = static_cast<int>(c.values[static_cast<size_t>(
      std::find_if(row.roles.begin(), row.roles.end(), [](const ArgRole &r) { return r.is == Is::kCount; }) -
      row.roles.begin())]);
  for (size_t p = 0; p < c.plane_args.size(); ++p) {
    const size_t arg = c.plane_args[p];
    const auto stride = static_cast<int>(c.values[static_cast<size_t>(row.roles[arg].stride - 1)]);
    args[arg] = AsNumber(planes[p].PlaneStart(rows, stride));
  }
  return args;
}

class BlndOutput : public BlndTest {
 protected:
  void PrepareSuites() override { PutBlndRoutines(*suites); }
};

TEST_F(BlndOutput, EverySlotSplitWritesWhatItWritesUnsplit) {
  const std::vector<TableRow> table = BlndTable();
  AtEachThreadCount([&](int) {
    HostSuites reference;  // the same routines, called directly
    PutBlndRoutines(reference);
    uint32_t seed = 1;
    for (const TableRow &row : table) {
      const bool has_optional = std::any_of(row.roles.begin(), row.roles.end(),
                                            [](const ArgRole &r) { return r.is == Is::kOptionalPlane; });
      for (int slot : row.slots) {
        for (int rows : kRowCounts) {
          for (bool null_optionals : {false, true}) {
            if (null_optionals && !has_optional) continue;
            SCOPED_TRACE(::testing::Message()
                         << "slot " << slot << ", " << rows << " rows, nulls " << null_optionals);
            const Case c = MakeCase(row, rows, null_optionals, ++seed);
            Planes split = c.planes, unsplit = c.planes;
            row.call(reference.Table(kBlnd)[slot], ArgsInto(row, c, unsplit));
            row.call(Live(slot), ArgsInto(row, c, split));
            ASSERT_TRUE(split == unsplit);
          }
        }
      }
    }
  });
}

// Which record planes are null in a call.
struct NullPlanes {
  bool first, second, third;
};
constexpr NullPlanes kNullPatterns[] = {{false, false, false},
                                        {false, true, false},
                                        {false, false, true},
                                        {false, true, true},
                                        {true, false, false}};

// Points a record's planes into `planes`, but those that are to be null.
template <typename Record>
void PointRecordInto(Record &record, Planes &planes, const NullPlanes &nulls) {
  using First = decltype(record.plane1);
  using Second = decltype(record.plane2);
  const int rows = record.rows;
  record.plane1 = nulls.first ? nullptr : reinterpret_cast<First>(planes[0].PlaneStart(rows, record.stride1));
  record.plane2 =
      nulls.second ? nullptr : reinterpret_cast<Second>(planes[1].PlaneStart(rows, record.stride2));
  record.plane3 = nulls.third ? nullptr : planes[2].PlaneStart(rows, record.stride3);
}

template <typename Record>
void ExpectRecordOutputMatches(Routine direct, Routine wrapper, Record record, uint32_t seed) {
  const int rows = record.rows;
  const Planes planes = {GuardedBuffer(PlaneBytes(rows, record.stride1), seed),
                         GuardedBuffer(PlaneBytes(rows, record.stride2), seed + 1),
                         GuardedBuffer(PlaneBytes(rows, record.stride3), seed + 2)};
  for (const NullPlanes &nulls : kNullPatterns) {
    SCOPED_TRACE(::testing::Message() << "null planes " << nulls.first << nulls.second << nulls.third);
    Planes split = planes, unsplit = planes;
    Record split_record = record, unsplit_record = record;
    PointRecordInto(unsplit_record, unsplit, nulls);
    PointRecordInto(split_record, split, nulls);
    reinterpret_cast<int32_t (*)(void *)>(direct)(&unsplit_record);
    reinterpret_cast<int32_t (*)(void *)>(wrapper)(&split_record);
    ASSERT_TRUE(split == unsplit);
  }
}

TEST_F(BlndOutput, EveryRecordSlotSplitWritesWhatItWritesUnsplit) {
  AtEachThreadCount([&](int) {
    HostSuites reference;
    PutBlndRoutines(reference);
    uint32_t seed = 1000;
    for (int rows : kRowCounts) {
      const auto r16 = static_cast<int16_t>(rows);
      for (int slot : kRecordSlots) {
        SCOPED_TRACE(::testing::Message() << "slot " << slot << ", " << rows << " rows");
        // mode, rows, width, plane 1, stride 1, fill, opacity, plane 2, stride 2, bias,
        // plane 3, stride 3, low, invert, high, offset
        const BlendRecord record = {
            slot + rows, r16,        kWidth,   nullptr, -(kWidth + 6), 0x1234, 200,
            nullptr,     kWidth + 2, rows - 9, nullptr, kWidth,        20,     static_cast<uint8_t>(rows % 2),
            230,         -3};
        ExpectRecordOutputMatches(reference.Table(kBlnd)[slot], Live(slot), record, seed += 3);
      }
      for (int slot : kRecord16Slots) {
        SCOPED_TRACE(::testing::Message() << "slot " << slot << ", " << rows << " rows");
        // mode, rows, width, plane 1, stride 1, fill, opacity, plane 2, stride 2, bias,
        // plane 3, stride 3, ceiling, invert
        const BlendRecord16 record = {slot + rows,
                                      r16,
                                      kWidth,
                                      nullptr,
                                      -(2 * kWidth + 6),
                                      0x9ABC,
                                      180,
                                      nullptr,
                                      2 * kWidth,
                                      -5,
                                      nullptr,
                                      -(kWidth + 1),
                                      60000,
                                      static_cast<uint8_t>(rows % 2)};
        ExpectRecordOutputMatches(reference.Table(kBlnd)[slot], Live(slot), record, seed += 3);
      }
    }
  });
}

}  // namespace
}  // namespace lumora::testing
