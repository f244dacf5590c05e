// The selection suite's own counting. The host hands slot 0 a table of six
// 256-bin histograms and then counts pixels into it through slot 2. Slot 0's
// wrapper records that table; slot 2's wrapper, when it splits, counts each
// band itself: the workers into private tables taken for the one call, the
// calling thread straight into the recorded table, and the private tables are
// added into the recorded table once every slice is done.
//
// A pixel of planes A, B, C (colours) and W (weight) is counted where the mask
// is absent or its byte is above the threshold. With a = A * W / 255,
// b = B * W / 255 and c = C * W / 255 rounded to nearest, it adds one to
// H0[a], H1[b], H2[c], H3[(a - b + 256) / 2], H4[(b - c + 256) / 2] and
// H5[(c - a + 256) / 2]. Counters are 32-bit and wrap.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "pool/split.h"

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
  I16 rows;
  I16 columns;
  I16 plane_stride;  // of A, B, C and W
  I16 mask_stride;
  I16 threshold;    // a pixel counts where its mask byte is above this
  uint32_t *table;  // the counts are added here
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

// The table recorded by the last slot-0 call; null until the first. Written
// by slot 0's wrapper, on any thread; read by slot 2's wrapper as it splits.
extern std::atomic<uint32_t *> HistogramTable;

// Slot 0: records the table, then hands the call to the host's routine and
// returns its result, whether or not a split is in progress.
int32_t RecordHistogramTable(Ptr table);

// Slot 2: counts the rows split, or runs the host's routine unsplit when the
// rows do not divide, the pool is busy, no table has been recorded, or the
// private tables cannot be had. Returns 0 either way.
int32_t CountHistogramsSplit(Ptr a, Ptr b, Ptr c, Ptr w, Ptr mask, I16 rows, I16 columns, I16 plane_stride,
                             I16 mask_stride, I16 threshold);

}  // namespace rowfork
