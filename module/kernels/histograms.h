// The selection suite's own counting, which slot 2's split runs on each band
// (kernels/histogram_split.h).
//
// A pixel of planes A, B, C (colours) and W (weight) is counted where the mask
// is absent or its byte is above the threshold. With a = A * W / 255,
// b = B * W / 255 and c = C * W / 255 rounded to nearest, it adds one to
// H0[a], H1[b], H2[c], H3[(a - b + 256) / 2], H4[(b - c + 256) / 2] and
// H5[(c - a + 256) / 2]. Counters are 32-bit and wrap.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rowfork {

constexpr int kHistogramBins = 256;
constexpr int kHistogramCounters = 6 * kHistogramBins;  // H0 .. H5, one after another
constexpr size_t kHistogramTableBytes = kHistogramCounters * sizeof(uint32_t);

// One band of a slot-2 call, as a slice's WorkerBlock carries it.
struct HistogramBand {
  const uint8_t *a;
  const uint8_t *b;
  const uint8_t *c;
  const uint8_t *w;
  const uint8_t *mask;  // may be null: every pixel counts
  int16_t rows;
  int16_t columns;
  int16_t plane_stride;  // of A, B, C and W
  int16_t mask_stride;
  int16_t threshold;  // a pixel counts where its mask byte is above this
  uint32_t *table;    // the counts are added here
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(HistogramBand, w) == 12);
static_assert(offsetof(HistogramBand, mask) == 16);
static_assert(offsetof(HistogramBand, rows) == 20);
static_assert(offsetof(HistogramBand, columns) == 22);
static_assert(offsetof(HistogramBand, plane_stride) == 24);
static_assert(offsetof(HistogramBand, mask_stride) == 26);
static_assert(offsetof(HistogramBand, threshold) == 28);
static_assert(offsetof(HistogramBand, table) == 32);
static_assert(sizeof(HistogramBand) == 36);
#endif

// Adds the counts of one band into band.table.
void CountHistograms(const HistogramBand &band);

}  // namespace rowfork
