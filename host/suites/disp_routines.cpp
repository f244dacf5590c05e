#include "host/suites/disp_routines.h"

#include "host/suites/plane_rows.h"

namespace lumora {
namespace {

using namespace plane_rows;

// The low byte of a sum taken in 64 bits.
u8 Byte(int64_t value) { return static_cast<u8>(value); }

// ---- slots 4 and 7: two planes, the first at a 32-bit stride ----

i32 Lighten(P out, P in, i16 rows, i16 amount, i32 stride_out, i16 mode, i16 stride_in) {
  for (int r = 0; r < rows; ++r) {
    u8 *o = Row(out, r, stride_out);
    const u8 *s = Row(in, r, stride_in);
    for (int c = 0; c < kDispColumns; ++c) {
      const int lifted = s[c] + amount;
      o[c] = Byte(mode == 1 ? lifted : lifted > o[c] ? lifted : o[c] + mode);
    }
  }
  return 0;
}

i32 Darken(P out, P in, i16 rows, i16 amount, i32 stride_out, i16 mode, i16 stride_in) {
  for (int r = 0; r < rows; ++r) {
    u8 *o = Row(out, r, stride_out);
    const u8 *s = Row(in, r, stride_in);
    for (int c = 0; c < kDispColumns; ++c) o[c] = Byte(s[c] - amount < o[c] ? s[c] - amount : o[c] - mode);
  }
  return 0;
}

// ---- slots 8 to 10: 32-bit pixels into a plane of bytes ----

// Byte `channel` of each 4-byte pixel of row r, into row r of the output.
i32 Channel(P out, P pixels, i16 rows, i16 units, i32 stride_out, i16 bias, int channel) {
  for (int r = 0; r < rows; ++r) {
    u8 *o = Row(out, r, stride_out);
    const u8 *s = Row(pixels, r, int64_t{4} * units);
    for (int c = 0; c < kDispColumns / 4; ++c) o[c] = Byte(s[4 * c + channel] + bias);
    for (int c = kDispColumns / 4; c < kDispColumns; ++c) o[c] = Byte(o[c] ^ s[c]);
  }
  return 0;
}

i32 Red(P out, P pixels, i16 rows, i16 units, i32 stride_out, i16 bias) {
  return Channel(out, pixels, rows, units, stride_out, bias, 1);
}
i32 Green(P out, P pixels, i16 rows, i16 units, i32 stride_out, i16 bias) {
  return Channel(out, pixels, rows, units, stride_out, bias, 2);
}
i32 Blue(P out, P pixels, i16 rows, i16 units, i32 stride_out, i16 bias) {
  return Channel(out, pixels, rows, units, stride_out, bias, 3);
}

// ---- slots 11 and 12: 32-bit pixels split into planes of bytes ----

void SplitChannels(P *planes, int count, P pixels, i16 rows, i16 units, i32 stride, i16 bias) {
  for (int r = 0; r < rows; ++r) {
    const u8 *s = Row(pixels, r, int64_t{4} * units);
    for (int p = 0; p < count; ++p) {
      u8 *o = Row(planes[p], r, stride);
      for (int c = 0; c < kDispColumns / 4; ++c) o[c] = Byte(s[4 * c + p] + bias * (p + 1));
    }
  }
}

i32 SplitThree(P a, P b, P c, P pixels, i16 rows, i16 units, i32 stride, i16 bias) {
  P planes[] = {a, b, c};
  SplitChannels(planes, 3, pixels, rows, units, stride, bias);
  return 0;
}

i32 SplitFour(P a, P b, P c, P d, P pixels, i16 rows, i16 units, i32 stride, i16 bias) {
  P planes[] = {a, b, c, d};
  SplitChannels(planes, 4, pixels, rows, units, stride, bias);
  return 0;
}

// ---- slot 23: an array of 32-bit elements ----

i32 ScaleElements(P elements, i32 count, i32 offset) {
  auto *e = static_cast<uint32_t *>(elements);
  for (i32 i = 0; i < count; ++i) e[i] = e[i] * 5u + static_cast<uint32_t>(offset);
  return 0;
}

// ---- slots 24 and 25: one plane of 32-bit pixels and its row coordinate ----

// Each row is marked with its 16-bit row coordinate.
i32 MarkRows(P pixels, i16 rows, i16 units, i16 origin, i16 a5, i16 a6, i32 a7, i32 a8) {
  for (int r = 0; r < rows; ++r) {
    const auto y = static_cast<i16>(origin + r);
    u8 *row = Row(pixels, r, int64_t{4} * units);
    for (int c = 0; c < kDispColumns; ++c) row[c] = Byte(int64_t{row[c]} + y * (c + 1) + a5 - a6 + a7 - a8);
  }
  return 0;
}

i32 StripeRows(P pixels, i16 rows, i16 units, i16 origin, i16 a5, i16 a6, i32 a7, i32 a8) {
  for (int r = 0; r < rows; ++r) {
    const auto y = static_cast<i16>(origin + r);
    u8 *row = Row(pixels, r, int64_t{4} * units);
    if (((y + a5) & 3) == 0) continue;
    for (int c = 0; c < kDispColumns; ++c) row[c] = Byte(int64_t{row[c]} * a6 + (a7 ^ a8));
  }
  return 0;
}

// ---- slot 27: the second plane at a stride times a factor ----

i32 Sample(P out, P in, i16 rows, i16 step, i16 stride_out, i16 stride_in, i16 factor) {
  for (int r = 0; r < rows; ++r) {
    u8 *o = Row(out, r, stride_out);
    const u8 *s = Row(in, r, int64_t{stride_in} * factor);
    for (int c = 0; c < kDispColumns; ++c) o[c] = Byte(s[c] + step * c);
  }
  return 0;
}

// ---- slots 28 and 29: the second plane at a row length times the factor squared ----

i32 Shrink(P out, P in, i16 rows, i16 units, i16 factor) {
  for (int r = 0; r < rows; ++r) {
    u8 *o = Row(out, r, int64_t{4} * units);
    const u8 *s = Row(in, r, int64_t{4} * units * factor * factor);
    for (int c = 0; c < kDispColumns; ++c) o[c] = Byte((s[c] + o[c] + factor) / 2);
  }
  return 0;
}

i32 ShrinkMax(P out, P in, i16 rows, i16 units, i16 factor) {
  for (int r = 0; r < rows; ++r) {
    u8 *o = Row(out, r, int64_t{4} * units);
    const u8 *s = Row(in, r, int64_t{4} * units * factor * factor);
    for (int c = 0; c < kDispColumns; ++c) o[c] = Byte(s[c] > o[c] ? s[c] - factor : o[c]);
  }
  return 0;
}

}  // namespace

void PutDispRoutines(HostSuites &suites) {
  const uint32_t disp = Code("disp");
  suites.SetSlot(disp, 4, &Lighten);
  suites.SetSlot(disp, 7, &Darken);
  suites.SetSlot(disp, 8, &Red);
  suites.SetSlot(disp, 9, &Green);
  suites.SetSlot(disp, 10, &Blue);
  suites.SetSlot(disp, 11, &SplitThree);
  suites.SetSlot(disp, 12, &SplitFour);
  suites.SetSlot(disp, 23, &ScaleElements);
  suites.SetSlot(disp, 24, &MarkRows);
  suites.SetSlot(disp, 25, &StripeRows);
  suites.SetSlot(disp, 27, &Sample);
  suites.SetSlot(disp, 28, &Shrink);
  suites.SetSlot(disp, 29, &ShrinkMax);
}

}  // namespace lumora
