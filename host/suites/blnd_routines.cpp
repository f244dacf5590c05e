#include "host/suites/blnd_routines.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>

#include "host/suites/plane_rows.h"

namespace lumora {
namespace {

using namespace plane_rows;

// Row r of a plane of 16-bit elements: the byte offset rounded down to even.
uint16_t *HalfRow(P plane, int r, i32 stride) {
  const int64_t halves = (int64_t{r} * stride) >> 1;
  return reinterpret_cast<uint16_t *>(static_cast<u8 *>(plane) + halves * 2);
}

u8 Clamp(int64_t v) { return static_cast<u8>(v < 0 ? 0 : v > 255 ? 255 : v); }

// From `from` toward `to` by weight/255.
u8 Mix(int from, int to, int weight) { return static_cast<u8>(from + (to - from) * weight / 255); }

int Weight(i16 value) { return value & 0xFF; }

// Every routine's last step: its output moved by its tint argument, wrapping.
u8 Tinted(int64_t value, i32 tint) { return static_cast<u8>(value + tint); }
uint16_t Tinted16(int64_t value, i32 tint) { return static_cast<uint16_t>(value + tint); }

// ---- routines on argument lists ----

// Slot 1: brightens one plane in place.
i32 Brighten(P p, i16 rows, i16 tint, i16 stride, i16 amount) {
  for (int r = 0; r < rows; ++r) {
    u8 *row = Row(p, r, stride);
    for (int c = 0; c < kBlndColumns; ++c) row[c] = Tinted(Clamp(row[c] + amount), tint);
  }
  return 0;
}

// Slots 2, 7, ...: the rounded mean of two planes into a third.
i32 MeanOfTwo(P a, P b, P out, i16 rows, i16 tint, i16 sa, i16 sb, i16 so) {
  for (int r = 0; r < rows; ++r) {
    const u8 *ra = Row(a, r, sa), *rb = Row(b, r, sb);
    u8 *ro = Row(out, r, so);
    for (int c = 0; c < kBlndColumns; ++c) ro[c] = Tinted(static_cast<u8>((ra[c] + rb[c] + 1) >> 1), tint);
  }
  return 0;
}

// Slots 3, 8, ...: mixes a source into a destination by a weight.
i32 MixByWeight(i16 weight, P src, P dst, i16 rows, i16 tint, i16 ss, i16 sd) {
  for (int r = 0; r < rows; ++r) {
    const u8 *s = Row(src, r, ss);
    u8 *d = Row(dst, r, sd);
    for (int c = 0; c < kBlndColumns; ++c) d[c] = Tinted(Mix(d[c], s[c], Weight(weight)), tint);
  }
  return 0;
}

// Colour planes filled with one value each where a mask allows.
void FillThroughMask(P const *channels, const i16 *values, int count, P mask, int rows, i16 tint, i32 stride,
                     i32 mask_stride) {
  for (int r = 0; r < rows; ++r) {
    const u8 *m = Row(mask, r, mask_stride);
    for (int i = 0; i < count; ++i) {
      u8 *d = Row(channels[i], r, stride);
      for (int c = 0; c < kBlndColumns; ++c) d[c] = Tinted(Mix(d[c], Weight(values[i]), m[c]), tint);
    }
  }
}

// Slots 4, 14, 17, 20: three colour planes and a mask.
i32 FillThree(i16 v0, i16 v1, i16 v2, P c0, P c1, P c2, P mask, i16 rows, i16 tint, i16 sc, i16 sm) {
  const P channels[] = {c0, c1, c2};
  const i16 values[] = {v0, v1, v2};
  FillThroughMask(channels, values, 3, mask, rows, tint, sc, sm);
  return 0;
}

// Slot 5: four colour planes and a mask.
i32 FillFour(i16 v0, i16 v1, i16 v2, i16 v3, P c0, P c1, P c2, P c3, P mask, i16 rows, i16 tint, i16 sc,
             i16 sm) {
  const P channels[] = {c0, c1, c2, c3};
  const i16 values[] = {v0, v1, v2, v3};
  FillThroughMask(channels, values, 4, mask, rows, tint, sc, sm);
  return 0;
}

// Slots 9, 12: a weighted sum of two planes into a third.
i32 WeightedSum(P a, P b, P out, i16 rows, i16 tint, i16 wa, i16 wb, i16 sa, i16 sb, i16 so) {
  for (int r = 0; r < rows; ++r) {
    const u8 *ra = Row(a, r, sa), *rb = Row(b, r, sb);
    u8 *ro = Row(out, r, so);
    for (int c = 0; c < kBlndColumns; ++c) ro[c] = Tinted(Clamp((ra[c] * wa + rb[c] * wb) / 256), tint);
  }
  return 0;
}

// Source colour planes mixed into destination planes through a mask.
void MixThroughMask(P const *src, P const *dst, int count, P mask, int rows, i16 tint, i32 ss, i32 sd,
                    i32 sm) {
  for (int r = 0; r < rows; ++r) {
    const u8 *m = Row(mask, r, sm);
    for (int i = 0; i < count; ++i) {
      const u8 *s = Row(src[i], r, ss);
      u8 *d = Row(dst[i], r, sd);
      for (int c = 0; c < kBlndColumns; ++c) d[c] = Tinted(Mix(d[c], s[c], m[c]), tint);
    }
  }
}

// Slots 13, 16, 19, 45: three source planes, three destinations, a mask.
i32 MixThreeThroughMask(P s0, P s1, P s2, P d0, P d1, P d2, P mask, i16 rows, i16 tint, i16 ss, i16 sd,
                        i16 sm) {
  const P src[] = {s0, s1, s2}, dst[] = {d0, d1, d2};
  MixThroughMask(src, dst, 3, mask, rows, tint, ss, sd, sm);
  return 0;
}

// Slots 15, 18, 21: the lighter of each source and destination plane.
i32 LighterOfThree(P s0, P s1, P s2, P d0, P d1, P d2, i16 rows, i16 tint, i16 ss, i16 sd) {
  const P src[] = {s0, s1, s2}, dst[] = {d0, d1, d2};
  for (int i = 0; i < 3; ++i) {
    for (int r = 0; r < rows; ++r) {
      const u8 *s = Row(src[i], r, ss);
      u8 *d = Row(dst[i], r, sd);
      for (int c = 0; c < kBlndColumns; ++c) d[c] = Tinted(std::max(d[c], s[c]), tint);
    }
  }
  return 0;
}

// Slots 24, 27, ...: a source added into a destination, saturating.
i32 AddInto(P src, P dst, i16 rows, i16 tint, i16 ss, i16 sd) {
  for (int r = 0; r < rows; ++r) {
    const u8 *s = Row(src, r, ss);
    u8 *d = Row(dst, r, sd);
    for (int c = 0; c < kBlndColumns; ++c) d[c] = Tinted(Clamp(d[c] + s[c]), tint);
  }
  return 0;
}

// Slot 32: scales and offsets one plane in place.
i32 ScaleInPlace(P p, i16 scale, i16 offset, i16 rows, i16 tint, i16 stride) {
  for (int r = 0; r < rows; ++r) {
    u8 *row = Row(p, r, stride);
    for (int c = 0; c < kBlndColumns; ++c) row[c] = Tinted(Clamp(row[c] * scale / 256 + offset), tint);
  }
  return 0;
}

// Slots 37, 46: two sources, two destinations, a mask.
i32 MixTwoThroughMask(P s0, P s1, P d0, P d1, P mask, i16 rows, i16 tint, i16 ss, i16 sd, i16 sm) {
  const P src[] = {s0, s1}, dst[] = {d0, d1};
  MixThroughMask(src, dst, 2, mask, rows, tint, ss, sd, sm);
  return 0;
}

// Slot 38: two planes filled with a value each through a mask.
i32 FillTwo(i16 v0, i16 v1, P c0, P c1, P mask, i16 rows, i16 tint, i16 sc, i16 sm) {
  const P channels[] = {c0, c1};
  const i16 values[] = {v0, v1};
  FillThroughMask(channels, values, 2, mask, rows, tint, sc, sm);
  return 0;
}

// Slot 39: the darker of each of two sources and its destination.
i32 DarkerOfTwo(P s0, P s1, P d0, P d1, i16 rows, i16 tint, i16 ss, i16 sd) {
  for (int r = 0; r < rows; ++r) {
    const u8 *a = Row(s0, r, ss), *b = Row(s1, r, ss);
    u8 *x = Row(d0, r, sd), *y = Row(d1, r, sd);
    for (int c = 0; c < kBlndColumns; ++c) {
      x[c] = Tinted(std::min(x[c], a[c]), tint);
      y[c] = Tinted(std::min(y[c], b[c]), tint);
    }
  }
  return 0;
}

// Slots 40, 56-59, 71, 106: a source mixed into a destination by a byte weight.
i32 MixByByte(P src, P dst, i16 rows, i16 tint, i16 ss, i16 sd, u8 weight) {
  return MixByWeight(weight, src, dst, rows, tint, ss, sd);
}

// Slots 42, 43: a source scaled and offset into a destination.
i32 ScaleInto(P src, P dst, i16 rows, i16 tint, i16 ss, i16 sd, i16 scale, i16 offset) {
  for (int r = 0; r < rows; ++r) {
    const u8 *s = Row(src, r, ss);
    u8 *d = Row(dst, r, sd);
    for (int c = 0; c < kBlndColumns; ++c) d[c] = Tinted(Clamp(s[c] * scale / 256 + offset), tint);
  }
  return 0;
}

// Slot 55: two planes mixed into a third by a byte weight.
i32 MixTwoByByte(P a, P b, P out, i16 rows, i16 tint, i16 sa, i16 sb, i16 so, u8 weight) {
  for (int r = 0; r < rows; ++r) {
    const u8 *ra = Row(a, r, sa), *rb = Row(b, r, sb);
    u8 *ro = Row(out, r, so);
    for (int c = 0; c < kBlndColumns; ++c) ro[c] = Tinted(Mix(ra[c], rb[c], weight), tint);
  }
  return 0;
}

// Slots 60, 61: three colour planes inverted where a mask allows.
i32 InvertThroughMask(P c0, P c1, P c2, P mask, i16 rows, i16 tint, i16 sc, i16 sm) {
  const P channels[] = {c0, c1, c2};
  for (int r = 0; r < rows; ++r) {
    const u8 *m = Row(mask, r, sm);
    for (P channel : channels) {
      u8 *d = Row(channel, r, sc);
      for (int c = 0; c < kBlndColumns; ++c) d[c] = Tinted(Mix(d[c], 255 - d[c], m[c]), tint);
    }
  }
  return 0;
}

// Slot 63: a source mixed into a destination (same stride) through a mask.
i32 MixOneThroughMask(P src, P dst, P mask, i16 rows, i16 tint, i16 s, i16 sm) {
  const P from[] = {src}, to[] = {dst};
  MixThroughMask(from, to, 1, mask, rows, tint, s, s, sm);
  return 0;
}

// Slot 97: a weighted sum of two planes with a bias, by byte weights.
i32 WeightedBytes(P a, P b, P out, i16 rows, i16 tint, i16 sa, i16 sb, i16 so, u8 wa, u8 wb, u8 bias) {
  for (int r = 0; r < rows; ++r) {
    const u8 *ra = Row(a, r, sa), *rb = Row(b, r, sb);
    u8 *ro = Row(out, r, so);
    for (int c = 0; c < kBlndColumns; ++c)
      ro[c] = Tinted(Clamp((ra[c] * wa + rb[c] * wb + bias) / 256), tint);
  }
  return 0;
}

// A value held between two 32-bit bounds, then moved by an offset.
u8 Bounded(int64_t value, i32 low, i32 high, int64_t offset) {
  const int64_t held = std::min<int64_t>(std::max<int64_t>(value, low), high);
  return Clamp(held + offset);
}

// Slot 98: a source, bounded and offset, into a destination.
i32 BoundInto(P src, P dst, i16 rows, i16 tint, i16 ss, i16 sd, i32 low, i32 high, i16 offset) {
  for (int r = 0; r < rows; ++r) {
    const u8 *s = Row(src, r, ss);
    u8 *d = Row(dst, r, sd);
    for (int c = 0; c < kBlndColumns; ++c) d[c] = Tinted(Bounded(s[c], low, high, offset), tint);
  }
  return 0;
}

// Slot 99: three colour planes set to a value where a mask lies within bounds.
i32 FillWithinBounds(P c0, P c1, P c2, P mask, i16 rows, i16 tint, i16 sc, i16 sm, i32 low, i32 high,
                     i16 value) {
  const P channels[] = {c0, c1, c2};
  for (int r = 0; r < rows; ++r) {
    const u8 *m = Row(mask, r, sm);
    for (P channel : channels) {
      u8 *d = Row(channel, r, sc);
      for (int c = 0; c < kBlndColumns; ++c) {
        if (m[c] >= low && m[c] <= high) d[c] = Tinted(static_cast<u8>(value), tint);
      }
    }
  }
  return 0;
}

// Three colour planes take a source plane, bounded and offset, mixed through
// the mask where there is one (full weight where there is none).
void MixBoundedSource(P const *channels, i32 sc, P src, i32 ss, P mask, i32 sm, P second_mask, i32 sm2,
                      int rows, i16 tint, i32 low, i32 high, i16 offset) {
  for (int r = 0; r < rows; ++r) {
    const u8 *s = Row(src, r, ss);
    const u8 *m = mask != nullptr ? Row(mask, r, sm) : nullptr;
    const u8 *m2 = second_mask != nullptr ? Row(second_mask, r, sm2) : nullptr;
    for (int i = 0; i < 3; ++i) {
      u8 *d = Row(channels[i], r, sc);
      for (int c = 0; c < kBlndColumns; ++c) {
        int weight = m != nullptr ? m[c] : 255;
        if (m2 != nullptr) weight = weight * m2[c] / 255;
        d[c] = Tinted(Mix(d[c], Bounded(s[c], low, high, offset), weight), tint);
      }
    }
  }
}

// Slot 100: planes 1-3 colour (stride 8), 4 an optional mask (stride 8), 5 the source.
i32 SourceMaskFourth(P c0, P c1, P c2, P mask, P src, i16 rows, i16 tint, i16 sc, i16 ss, i32 low, i32 high,
                     i16 offset) {
  const P channels[] = {c0, c1, c2};
  MixBoundedSource(channels, sc, src, ss, mask, sc, nullptr, 0, rows, tint, low, high, offset);
  return 0;
}

// Slot 102: a source offset into a destination, mixed by a byte weight; 32-bit strides.
i32 OffsetMix(P src, P dst, i16 rows, i16 tint, i32 ss, i32 sd, i32 add, i32 subtract, u8 weight) {
  for (int r = 0; r < rows; ++r) {
    const u8 *s = Row(src, r, ss);
    u8 *d = Row(dst, r, sd);
    for (int c = 0; c < kBlndColumns; ++c)
      d[c] = Tinted(Mix(d[c], Clamp(int64_t{s[c]} + add - subtract), weight), tint);
  }
  return 0;
}

// Slots 103-105: a source scaled (in 1/65536) and offset into a destination; 32-bit strides.
i32 WideScale(P src, P dst, i16 rows, i16 tint, i32 ss, i32 sd, i32 scale, i32 offset) {
  for (int r = 0; r < rows; ++r) {
    const u8 *s = Row(src, r, ss);
    u8 *d = Row(dst, r, sd);
    for (int c = 0; c < kBlndColumns; ++c) d[c] = Tinted(Clamp(int64_t{s[c]} * scale / 65536 + offset), tint);
  }
  return 0;
}

// Slot 107: a source, bounded and offset, into a destination through an optional mask.
i32 BoundThroughMask(P src, P dst, P mask, i16 rows, i16 tint, i16 ss, i16 sd, i16 sm, i32 low, i32 high,
                     i16 offset) {
  for (int r = 0; r < rows; ++r) {
    const u8 *s = Row(src, r, ss);
    const u8 *m = mask != nullptr ? Row(mask, r, sm) : nullptr;
    u8 *d = Row(dst, r, sd);
    for (int c = 0; c < kBlndColumns; ++c)
      d[c] = Tinted(Mix(d[c], Bounded(s[c], low, high, offset), m != nullptr ? m[c] : 255), tint);
  }
  return 0;
}

// Slot 108: planes 1-3 colour, 4 the source, 5 an optional mask.
i32 SourceMaskFifth(P c0, P c1, P c2, P src, P mask, i16 rows, i16 tint, i16 sc, i16 ss, i16 sm, i32 low,
                    i32 high, i16 offset) {
  const P channels[] = {c0, c1, c2};
  MixBoundedSource(channels, sc, src, ss, mask, sm, nullptr, 0, rows, tint, low, high, offset);
  return 0;
}

// Slot 109: planes 1-3 colour, 4 an optional mask (stride 9), 5 the source,
// 6 a second optional mask.
i32 SourceTwoMasks(P c0, P c1, P c2, P mask, P src, P second_mask, i16 rows, i16 tint, i16 sc, i16 ss,
                   i16 sm2, i32 low, i32 high, i16 offset) {
  const P channels[] = {c0, c1, c2};
  MixBoundedSource(channels, sc, src, ss, mask, sc, second_mask, sm2, rows, tint, low, high, offset);
  return 0;
}

// Slot 114: a 16-bit source mixed into a 16-bit destination through a byte mask.
i32 MixHalvesThroughMask(P src, P dst, P mask, i32 rows, i32 tint, i32 ss, i32 sd, i32 sm) {
  for (int r = 0; r < rows; ++r) {
    const uint16_t *s = HalfRow(src, r, ss);
    uint16_t *d = HalfRow(dst, r, sd);
    const u8 *m = Row(mask, r, sm);
    for (int c = 0; c < kBlndColumns; ++c) d[c] = Tinted16(d[c] + (s[c] - d[c]) * m[c] / 255, tint);
  }
  return 0;
}

// ---- record routines ----

u8 Combine(int mode, u8 dst, u8 src) {
  switch (mode & 3) {
    case 1:
      return Clamp(dst + src);
    case 2:
      return std::max(dst, src);
    case 3:
      return std::min(dst, src);
    default:
      return src;
  }
}

i32 RecordBlend(P record) {
  const auto &b = *static_cast<const BlendRecord *>(record);
  if (b.plane1 == nullptr) return 0;
  for (int r = 0; r < b.rows; ++r) {
    u8 *d = Row(b.plane1, r, b.stride1);
    const u8 *s = b.plane2 != nullptr ? Row(b.plane2, r, b.stride2) : nullptr;
    const u8 *m = b.plane3 != nullptr ? Row(b.plane3, r, b.stride3) : nullptr;
    for (int c = 0; c < b.width; ++c) {
      const u8 src = s != nullptr ? s[c] : static_cast<u8>(b.fill);
      int weight = (m != nullptr ? m[c] : 255) * b.opacity / 255;
      if (b.invert != 0) weight = 255 - weight;
      const u8 blended = Mix(d[c], Combine(b.mode, d[c], src), weight);
      d[c] = Bounded(int64_t{blended} + b.bias, b.low, b.high, b.offset);
    }
  }
  return 0;
}

i32 RecordBlend16(P record) {
  const auto &b = *static_cast<const BlendRecord16 *>(record);
  if (b.plane1 == nullptr) return 0;
  const int opacity = std::clamp<int>(b.opacity, 0, 256);
  for (int r = 0; r < b.rows; ++r) {
    uint16_t *d = HalfRow(b.plane1, r, b.stride1);
    const uint16_t *s = b.plane2 != nullptr ? HalfRow(b.plane2, r, b.stride2) : nullptr;
    const u8 *m = b.plane3 != nullptr ? Row(b.plane3, r, b.stride3) : nullptr;
    for (int c = 0; c < b.width; ++c) {
      int64_t src = s != nullptr ? s[c] : static_cast<uint16_t>(b.fill);
      if ((b.mode & 1) != 0) src = std::min<int64_t>(src + d[c], 65535);
      int64_t weight = (m != nullptr ? m[c] : 255) * opacity / 256;
      if (b.invert != 0) weight = 255 - weight;
      const int64_t mixed = d[c] + (src - d[c]) * weight / 255 + b.bias;
      d[c] = static_cast<uint16_t>(std::clamp<int64_t>(mixed, 0, std::clamp<int64_t>(b.ceiling, 0, 65535)));
    }
  }
  return 0;
}

template <typename F>
void Put(HostSuites &suites, F routine, std::initializer_list<int> slots) {
  for (int slot : slots) suites.SetSlot(Code("blnd"), slot, routine);
}

}  // namespace

int32_t BlndRecordBlend(void *record) { return RecordBlend(record); }

void PutBlndRoutines(HostSuites &suites) {
  Put(suites, &Brighten, {1});
  Put(suites, &MeanOfTwo, {2, 7, 10, 22, 25, 30, 47, 50, 65, 66, 67, 68, 72, 73, 74, 75, 76, 115});
  Put(suites, &MixByWeight, {3, 8, 11, 23, 26, 31, 48, 51, 69});
  Put(suites, &FillThree, {4, 14, 17, 20});
  Put(suites, &FillFour, {5});
  Put(suites, &WeightedSum, {9, 12});
  Put(suites, &MixThreeThroughMask, {13, 16, 19, 45});
  Put(suites, &LighterOfThree, {15, 18, 21});
  Put(suites, &AddInto, {24, 27, 28, 29, 33, 34, 35, 36, 41, 49, 52, 53, 54, 62, 64, 70, 95, 96});
  Put(suites, &ScaleInPlace, {32});
  Put(suites, &MixTwoThroughMask, {37, 46});
  Put(suites, &FillTwo, {38});
  Put(suites, &DarkerOfTwo, {39});
  Put(suites, &MixByByte, {40, 56, 57, 58, 59, 71, 106});
  Put(suites, &ScaleInto, {42, 43});
  Put(suites, &MixTwoByByte, {55});
  Put(suites, &InvertThroughMask, {60, 61});
  Put(suites, &MixOneThroughMask, {63});
  Put(suites, &RecordBlend,
      {77, 78, 79, 80, 81, 82, 83, 84, 85, 86, 87, 88, 89, 90, 91, 92, 93, 94, 110, 111, 112});
  Put(suites, &WeightedBytes, {97});
  Put(suites, &BoundInto, {98});
  Put(suites, &FillWithinBounds, {99});
  Put(suites, &SourceMaskFourth, {100});
  Put(suites, &OffsetMix, {102});
  Put(suites, &WideScale, {103, 104, 105});
  Put(suites, &BoundThroughMask, {107});
  Put(suites, &SourceMaskFifth, {108});
  Put(suites, &SourceTwoMasks, {109});
  Put(suites, &MixHalvesThroughMask, {114});
  Put(suites, &RecordBlend16, {116, 117, 118, 119, 120, 121, 122, 123});
}

}  // namespace lumora
