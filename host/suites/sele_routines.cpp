#include "host/suites/sele_routines.h"

#include <atomic>

namespace lumora {
namespace {

using U8 = uint8_t;

// Row r of a plane lies r strides from its pointer; strides may be negative.
uint8_t *Row(void *plane, int r, int32_t stride) {
  return static_cast<uint8_t *>(plane) + intptr_t{r} * stride;
}

U8 Byte(int value) { return static_cast<U8>(value); }

// ---- slots 0 and 2: six histograms ----

std::atomic<uint32_t *> histogram_table{nullptr};

int32_t NameHistogramTable(void *table) {
  histogram_table = static_cast<uint32_t *>(table);
  return kSeleTableResult;
}

int32_t CountSixHistograms(void *a_plane, void *b_plane, void *c_plane, void *w_plane, void *mask_plane,
                           int16_t rows, int16_t columns, int16_t stride, int16_t mask_stride,
                           int16_t threshold) {
  uint32_t *h = histogram_table;
  if (h == nullptr) return 0;
  CountSixHistogramsInto(h, a_plane, b_plane, c_plane, w_plane, mask_plane, rows, columns, stride,
                         mask_stride, threshold);
  return 0;
}

// ---- row routines: the first plane is written, the others read ----

// Slot 13: four planes at one stride, a fifth (a pattern) at its own.
int32_t FivePlanes(void *p1, void *p2, void *p3, void *p4, void *p5, int16_t rows, int16_t value,
                   int16_t stride, int16_t stride5) {
  for (int r = 0; r < rows; ++r) {
    U8 *out = Row(p1, r, stride);
    const U8 *in2 = Row(p2, r, stride), *in3 = Row(p3, r, stride), *in4 = Row(p4, r, stride);
    const U8 *pattern = Row(p5, r, stride5);
    for (int x = 0; x < kSeleColumns; ++x) {
      out[x] = Byte(((out[x] + in2[x] + in3[x] + in4[x] + value) >> 2) ^ pattern[x]);
    }
  }
  return 0;
}

// Slots 14, 15, 47 and 48: three planes at one stride, a mask at its own.
int32_t FourPlanes(void *p1, void *p2, void *p3, void *p4, int16_t rows, int16_t value, int16_t stride,
                   int16_t stride4) {
  for (int r = 0; r < rows; ++r) {
    U8 *out = Row(p1, r, stride);
    const U8 *in2 = Row(p2, r, stride), *in3 = Row(p3, r, stride), *mask = Row(p4, r, stride4);
    for (int x = 0; x < kSeleColumns; ++x) {
      if (mask[x] > 100) out[x] = Byte(in2[x] - in3[x] + value);
    }
  }
  return 0;
}

// Slots 16 and 17.
int32_t ThreePlanes(void *p1, void *p2, void *p3, int16_t rows, int16_t value, int16_t stride,
                    int16_t stride3) {
  for (int r = 0; r < rows; ++r) {
    U8 *out = Row(p1, r, stride);
    const U8 *in = Row(p2, r, stride), *mask = Row(p3, r, stride3);
    for (int x = 0; x < kSeleColumns; ++x) out[x] = Byte(((out[x] + in[x]) >> 1) + (mask[x] & value));
  }
  return 0;
}

// Every byte of the first plane's rows from itself and the byte at the same
// place in the second plane: out = f(out, in).
template <typename F>
void FromSecondPlane(void *p1, int32_t stride1, void *p2, int32_t stride2, int rows, F f) {
  for (int r = 0; r < rows; ++r) {
    U8 *out = Row(p1, r, stride1);
    const U8 *in = Row(p2, r, stride2);
    for (int x = 0; x < kSeleColumns; ++x) out[x] = Byte(f(out[x], in[x], x));
  }
}

// Slot 18.
int32_t TwoPlanes(void *p1, void *p2, int16_t rows, int16_t value, int16_t stride1, int16_t stride2) {
  FromSecondPlane(p1, stride1, p2, stride2, rows, [&](int out, int in, int) { return out * value + in; });
  return 0;
}

// Slot 21: the rows come fourth, between two values.
int32_t RowsFourth(void *p1, void *p2, int16_t scale, int16_t rows, int16_t offset, int16_t stride1,
                   int16_t stride2) {
  FromSecondPlane(p1, stride1, p2, stride2, rows,
                  [&](int out, int in, int) { return out + in * scale + offset; });
  return 0;
}

// Slot 26: a run of bytes, each on its own.
int32_t ByteRun(void *run, int16_t scale, int16_t count, int32_t offset) {
  U8 *bytes = static_cast<U8 *>(run);
  for (int i = 0; i < count; ++i) bytes[i] = Byte(bytes[i] * scale + (offset & 0xFF));
  return 0;
}

// Slot 27: one plane at a 32-bit stride, changed in place.
int32_t WidePlane(void *p, int16_t rows, int16_t value, int32_t stride) {
  FromSecondPlane(p, stride, p, stride, rows, [&](int out, int, int x) { return out ^ (value + x); });
  return 0;
}

// Slot 32: one plane, changed in place.
int32_t OnePlane(void *p, int16_t rows, int16_t value, int16_t stride, int16_t scale, int16_t offset) {
  FromSecondPlane(p, stride, p, stride, rows,
                  [&](int out, int, int) { return out * scale + value - offset; });
  return 0;
}

// Slot 35: two planes at one 32-bit stride.
int32_t WidePair(void *p1, void *p2, int16_t rows, int16_t value, int32_t stride, int32_t other, U8 flag) {
  FromSecondPlane(p1, stride, p2, stride, rows,
                  [&](int out, int in, int) { return flag != 0 ? in + value : out - (other & 0xFF); });
  return 0;
}

// Slots 41 and 43.
int32_t PairAndFlag(void *p1, void *p2, int16_t rows, int16_t value, int16_t stride1, int16_t stride2,
                    U8 flag) {
  FromSecondPlane(p1, stride1, p2, stride2, rows,
                  [&](int out, int in, int) { return (out > in ? out : in) + value + flag; });
  return 0;
}

// Slot 46: row r of the second plane lies r * factor * factor2 bytes on.
int32_t ScaledPair(void *p1, void *p2, int16_t rows, int16_t v4, int16_t v5, int16_t v6, int32_t stride,
                   int32_t factor, U8 v9, U8 v10, int16_t factor2) {
  FromSecondPlane(p1, stride, p2, factor * factor2, rows,
                  [&](int out, int in, int) { return in + v4 - v5 + v6 + v9 * v10 + (out >> 3); });
  return 0;
}

// Slot 49: three planes at one 32-bit stride, a fourth at its own.
int32_t WideFour(void *p1, void *p2, void *p3, void *p4, int32_t v5, int32_t v6, int32_t v7, int16_t rows,
                 int16_t v9, int32_t stride, int32_t stride4) {
  for (int r = 0; r < rows; ++r) {
    U8 *out = Row(p1, r, stride);
    const U8 *in2 = Row(p2, r, stride), *in3 = Row(p3, r, stride), *in4 = Row(p4, r, stride4);
    for (int x = 0; x < kSeleColumns; ++x) {
      // In unsigned arithmetic: the 32-bit weights may be anything.
      const uint32_t sum = in2[x] * static_cast<uint32_t>(v5) + in3[x] * static_cast<uint32_t>(v6) +
                           in4[x] * static_cast<uint32_t>(v7) + static_cast<uint32_t>(v9) + out[x];
      out[x] = static_cast<U8>(sum);
    }
  }
  return 0;
}

}  // namespace

// Walks the planes as one run each, skipping what lies between rows.
void CountSixHistogramsInto(uint32_t *h, const void *a_plane, const void *b_plane, const void *c_plane,
                            const void *w_plane, const void *mask_plane, int16_t rows, int16_t columns,
                            int16_t stride, int16_t mask_stride, int16_t threshold) {
  const U8 *a = static_cast<const U8 *>(a_plane), *b = static_cast<const U8 *>(b_plane);
  const U8 *c = static_cast<const U8 *>(c_plane), *w = static_cast<const U8 *>(w_plane);
  const U8 *mask = static_cast<const U8 *>(mask_plane);
  for (int r = 0; r < rows; ++r) {
    for (int x = 0; x < columns; ++x, ++a, ++b, ++c, ++w) {
      if (mask != nullptr && *mask++ <= threshold) continue;
      const int wa = (*a * *w + 127) / 255, wb = (*b * *w + 127) / 255, wc = (*c * *w + 127) / 255;
      ++h[wa];
      ++h[256 + wb];
      ++h[512 + wc];
      ++h[768 + (wa - wb + 256) / 2];
      ++h[1024 + (wb - wc + 256) / 2];
      ++h[1280 + (wc - wa + 256) / 2];
    }
    a += stride - columns;
    b += stride - columns;
    c += stride - columns;
    w += stride - columns;
    if (mask != nullptr) mask += mask_stride - columns;
  }
}

void PutSeleRoutines(HostSuites &suites) {
  const uint32_t sele = Code("sele");
  histogram_table = nullptr;
  suites.SetSlot(sele, 0, &NameHistogramTable);
  suites.SetSlot(sele, 2, &CountSixHistograms);
  suites.SetSlot(sele, 13, &FivePlanes);
  for (int slot : {14, 15, 47, 48}) suites.SetSlot(sele, slot, &FourPlanes);
  for (int slot : {16, 17}) suites.SetSlot(sele, slot, &ThreePlanes);
  suites.SetSlot(sele, 18, &TwoPlanes);
  suites.SetSlot(sele, 21, &RowsFourth);
  suites.SetSlot(sele, 26, &ByteRun);
  suites.SetSlot(sele, 27, &WidePlane);
  suites.SetSlot(sele, 32, &OnePlane);
  suites.SetSlot(sele, 35, &WidePair);
  for (int slot : {41, 43}) suites.SetSlot(sele, slot, &PairAndFlag);
  suites.SetSlot(sele, 46, &ScaledPair);
  suites.SetSlot(sele, 49, &WideFour);
}

}  // namespace lumora
