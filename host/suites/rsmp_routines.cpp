#include "host/suites/rsmp_routines.h"

#include <cstring>

#include "host/suites/plane_rows.h"

namespace lumora {
namespace {

using namespace plane_rows;

// Entry r of a per-row table of T.
template <typename T>
T Load(P table, int r) {
  T value;
  std::memcpy(&value, static_cast<u8 *>(table) + static_cast<size_t>(r) * sizeof(T), sizeof(T));
  return value;
}
template <typename T>
void Store(P table, int r, T value) {
  std::memcpy(static_cast<u8 *>(table) + static_cast<size_t>(r) * sizeof(T), &value, sizeof(T));
}

// The low byte of a sum taken in 64 bits, so that no sum of 32-bit values overflows.
u8 Byte(int64_t value) { return static_cast<u8>(value); }

constexpr int kTables = 32;
constexpr int kEntries = 256;

// ---- slots 0 and 1: one plane shifted by a per-row amount ----

// Each row gets its table entry added, plus the other values; the entry is
// replaced by the row's first byte as written.
void ShiftRows(P plane, i16 rows, i16 stride, P table, int64_t mix) {
  for (int r = 0; r < rows; ++r) {
    u8 *row = Row(plane, r, stride);
    const i16 shift = Load<i16>(table, r);
    for (int c = 0; c < kRsmpColumns; ++c) row[c] = Byte(row[c] + shift + mix * (c + 1));
    Store<i16>(table, r, static_cast<i16>(row[0] - shift));
  }
}

i32 ShiftByTable(i32 a1, P plane, i16 rows, i16 a4, i16 a5, i16 a6, P table, i32 a8, i16 a9, i16 stride,
                 i32 a11, i32 a12) {
  ShiftRows(plane, rows, stride, table, int64_t{a1} + a4 - a5 + a6 + a8 - a9 + a11 - a12);
  return 0;
}

i32 ShiftByTableMore(i32 a1, P plane, i16 rows, i16 a4, i16 a5, i16 a6, i16 a7, i16 a8, P table, i32 a10,
                     i16 a11, i16 stride, i32 a13, i32 a14) {
  ShiftRows(plane, rows, stride, table, int64_t{a1} + a4 - a5 + a6 - a7 + a8 + a10 - a11 + a13 - a14);
  return 0;
}

// ---- slots 2 and 6: the second plane scaled into the first ----

i32 Scale(P out, P in, i16 rows, i16 gain, i32 offset, i16 stride_out, i16 stride_in, i32 bias) {
  for (int r = 0; r < rows; ++r) {
    u8 *o = Row(out, r, stride_out);
    const u8 *s = Row(in, r, stride_in);
    for (int c = 0; c < kRsmpColumns; ++c) o[c] = Byte(int64_t{s[c]} * gain + offset + bias + o[c] / 2);
  }
  return 0;
}

i32 ScaleWide(P out, P in, i16 rows, i16 gain, i32 offset, i32 bias, i16 stride_out, i16 stride_in,
              i32 tint) {
  return Scale(out, in, rows, gain, offset ^ bias, stride_out, stride_in, tint);
}

// ---- slots 3 and 7: a run of bytes ----

i32 InterpolateRun(P out, P in, i16 weight, i16 count, i32 bias, i16 a6, i16 a7, i32 a8) {
  u8 *o = static_cast<u8 *>(out);
  const u8 *s = static_cast<const u8 *>(in);
  for (int b = 0; b < count; ++b)
    o[b] = Byte(int64_t{o[b]} + ((s[b] - o[b]) * weight >> 8) + bias + a6 - a7 + a8);
  return 0;
}

i32 InterpolateRunWide(P out, P in, i16 weight, i16 count, i32 bias, i32 a6, i16 a7, i16 a8, i32 a9) {
  return InterpolateRun(out, in, weight, count, bias ^ a6, a7, a8, a9);
}

// ---- slots 8 and 9: two planes and per-row tables ----

// Row r of the input, weighted by its first table's entry, into the output;
// the second table's entry takes the sum of the row written.
i32 WeighRows(P out, P in, i16 rows, i16 a4, i16 a5, P weights, P sums, i32 stride_out, i32 stride_in,
              u8 flag) {
  for (int r = 0; r < rows; ++r) {
    u8 *o = Row(out, r, stride_out);
    const u8 *s = Row(in, r, stride_in);
    const i32 weight = Load<i32>(weights, r);
    uint32_t sum = 0;
    for (int c = 0; c < kRsmpColumns; ++c) {
      o[c] = Byte(s[c] * (weight & 0xF) + a4 - a5 + flag);
      sum += o[c];
    }
    Store<uint32_t>(sums, r, sum + static_cast<uint32_t>(weight));
  }
  return 0;
}

// Each row's 32-byte entry holds a byte per column to add; its last byte
// takes the row's first byte as written.
i32 AddRowPattern(P out, P in, i16 rows, i16 a4, i16 a5, P patterns, i32 stride_out, i32 stride_in, u8 flag) {
  for (int r = 0; r < rows; ++r) {
    u8 *o = Row(out, r, stride_out);
    const u8 *s = Row(in, r, stride_in);
    u8 *pattern = static_cast<u8 *>(patterns) + intptr_t{r} * 32;
    for (int c = 0; c < kRsmpColumns; ++c) o[c] = Byte(s[c] + pattern[c] + a4 * a5 + flag);
    pattern[31] = o[0];
  }
  return 0;
}

// ---- slots 10 to 13: a plane whose row length is given in units ----

i32 MeanInUnits(P out, P a, P b, i16 rows, i16 units, i32 stride_a, i32 a7, i32 stride_b, i32 a9, i16 a10,
                i16 a11, i16 a12) {
  for (int r = 0; r < rows; ++r) {
    u8 *o = Row(out, r, intptr_t{4} * units);
    const u8 *ra = Row(a, r, stride_a), *rb = Row(b, r, stride_b);
    for (int c = 0; c < kRsmpColumns; ++c)
      o[c] = Byte(int64_t{(ra[c] + rb[c] + a10) >> 1} + a7 - a9 + a11 * a12);
  }
  return 0;
}

i32 DifferenceInUnits(P out, P a, P b, i16 rows, i16 units, i32 stride_a, i32 a7, i32 stride_b, i32 a9,
                      i16 a10, i16 a11, i16 a12) {
  for (int r = 0; r < rows; ++r) {
    u8 *o = Row(out, r, intptr_t{4} * units);
    const u8 *ra = Row(a, r, stride_a), *rb = Row(b, r, stride_b);
    for (int c = 0; c < kRsmpColumns; ++c) o[c] = Byte(int64_t{ra[c] - rb[c]} + a7 + a9 + a10 - a11 + a12);
  }
  return 0;
}

// The second argument is a value, added to every byte.
i32 CopyInOctets(P out, i32 value, P in, i16 rows, i16 units, i32 a6, i32 a7, i32 stride_in, i32 a9, i16 a10,
                 i16 a11, i16 a12, i16 a13, i16 a14) {
  for (int r = 0; r < rows; ++r) {
    u8 *o = Row(out, r, intptr_t{8} * units);
    const u8 *s = Row(in, r, stride_in);
    for (int c = 0; c < kRsmpColumns; ++c) {
      o[c] = Byte(int64_t{s[c]} + value + a6 - a7 + a9 + a10 - a11 + a12 - a13 + a14);
    }
  }
  return 0;
}

i32 BlendInOctets(P out, i32 value, P in, i16 rows, i16 units, i32 a6, i32 a7, i32 stride_in, i32 a9, i16 a10,
                  i16 a11, i16 a12, i16 a13, i16 a14) {
  for (int r = 0; r < rows; ++r) {
    u8 *o = Row(out, r, intptr_t{8} * units);
    const u8 *s = Row(in, r, stride_in);
    for (int c = 0; c < kRsmpColumns; ++c) {
      o[c] = Byte(int64_t{(o[c] + s[c]) / 2} + (value ^ a6) + a7 + a9 - a10 + a11 - a12 + a13 - a14);
    }
  }
  return 0;
}

}  // namespace

int32_t MultiplyTablesByFormula(int16_t columns, void *coefficients, void *output) {
  const auto *matrix = static_cast<const i16 *>(coefficients);
  auto *tables = static_cast<uint32_t *>(output);
  for (int i = 0; i < columns; ++i) {
    for (int j = 0; j < kTables; ++j) {
      const auto coefficient = static_cast<uint32_t>(i32{matrix[j * columns + i]});
      uint32_t *table = tables + (size_t(i) * kTables + size_t(j)) * kEntries;
      for (uint32_t m = 0; m < kEntries; ++m) table[m] = (i == 0 ? 32768u : 0u) + 4u * m * coefficient;
    }
  }
  return 0;
}

void PutRsmpRoutines(HostSuites &suites) {
  const uint32_t rsmp = Code("rsmp");
  suites.SetSlot(rsmp, 0, &ShiftByTable);
  suites.SetSlot(rsmp, 1, &ShiftByTableMore);
  suites.SetSlot(rsmp, 2, &Scale);
  suites.SetSlot(rsmp, 3, &InterpolateRun);
  suites.SetSlot(rsmp, 4, &MultiplyTablesByFormula);
  suites.SetSlot(rsmp, 6, &ScaleWide);
  suites.SetSlot(rsmp, 7, &InterpolateRunWide);
  suites.SetSlot(rsmp, 8, &WeighRows);
  suites.SetSlot(rsmp, 9, &AddRowPattern);
  suites.SetSlot(rsmp, 10, &MeanInUnits);
  suites.SetSlot(rsmp, 11, &CopyInOctets);
  suites.SetSlot(rsmp, 12, &DifferenceInUnits);
  suites.SetSlot(rsmp, 13, &BlendInOctets);
}

}  // namespace lumora
