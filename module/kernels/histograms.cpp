#include "kernels/histograms.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace rowfork {
namespace {

// ---- counting ----

// Consecutive counted pixels alternate between two copies of the table, so
// that in a run of equal pixels an increment does not wait for the store of
// the one before it to the same counter. The copies are added into the band's
// table at the end; a band holds fewer than 2^32 pixels, so they never wrap.
constexpr int kCopies = 2;

struct Counts {
  alignas(64) uint32_t copy[kCopies][kHistogramCounters];
};

enum class Selection { kAll, kNone, kAboveThreshold };

// One row of the band: column x of each plane is p[x].
struct Row {
  const uint8_t *a;
  const uint8_t *b;
  const uint8_t *c;
  const uint8_t *w;
  const uint8_t *mask;
};

// (v * w + 127) / 255 without a division: for every n up to 255 * 255 + 127,
// n / 255 equals (n + 1 + (n >> 8)) >> 8, and no step exceeds 16 bits.
inline uint32_t Weigh(uint32_t v, uint32_t w) {
  const uint32_t n = v * w + 127;
  return (n + 1 + (n >> 8)) >> 8;
}

// (x - y + 256) / 2 for weighted values x and y: a bin from 0 to 255.
inline uint32_t HalfDifference(uint32_t x, uint32_t y) { return (x + 256 - y) >> 1; }

inline void Bump(uint32_t *h, uint32_t a, uint32_t b, uint32_t c, uint32_t ab, uint32_t bc, uint32_t ca) {
  ++h[a];
  ++h[kHistogramBins + b];
  ++h[2 * kHistogramBins + c];
  ++h[3 * kHistogramBins + ab];
  ++h[4 * kHistogramBins + bc];
  ++h[5 * kHistogramBins + ca];
}

// Columns [from, to) of a row, one pixel at a time.
void CountPixels(Counts &counts, const Row &row, int from, int to, Selection selection, int threshold) {
  for (int x = from; x < to; ++x) {
    if (selection == Selection::kAboveThreshold && row.mask[x] <= threshold) continue;
    const uint32_t w = row.w[x];
    const uint32_t a = Weigh(row.a[x], w), b = Weigh(row.b[x], w), c = Weigh(row.c[x], w);
    Bump(counts.copy[x % kCopies], a, b, c, HalfDifference(a, b), HalfDifference(b, c), HalfDifference(c, a));
  }
}

#if defined(__SSE2__)

// Sixteen pixels at a time: the weighting and the bin arithmetic in 16-bit
// lanes, then the increments from the bins they leave.
constexpr int kBlock = 16;

struct BlockBins {
  alignas(16) uint16_t bin[6][kBlock];  // histogram, then pixel
};

inline __m128i Load16(const uint8_t *p) { return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p)); }

// Bytes 0-7 (high = false) or 8-15 of v in 16-bit lanes.
inline __m128i Widen(__m128i v, bool high) {
  const __m128i zero = _mm_setzero_si128();
  return high ? _mm_unpackhi_epi8(v, zero) : _mm_unpacklo_epi8(v, zero);
}

inline __m128i WeighLanes(__m128i v, __m128i w) {
  const __m128i n = _mm_add_epi16(_mm_mullo_epi16(v, w), _mm_set1_epi16(127));
  return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(n, _mm_set1_epi16(1)), _mm_srli_epi16(n, 8)), 8);
}

inline __m128i HalfDifferenceLanes(__m128i x, __m128i y) {
  return _mm_srli_epi16(_mm_sub_epi16(_mm_add_epi16(x, _mm_set1_epi16(256)), y), 1);
}

inline void StoreLanes(uint16_t *to, __m128i v) { _mm_store_si128(reinterpret_cast<__m128i *>(to), v); }

void WeighBlock(BlockBins &bins, const Row &row, int x) {
  const __m128i a = Load16(row.a + x), b = Load16(row.b + x), c = Load16(row.c + x), w = Load16(row.w + x);
  for (int half = 0; half < 2; ++half) {
    const __m128i wh = Widen(w, half != 0);
    const __m128i ah = WeighLanes(Widen(a, half != 0), wh);
    const __m128i bh = WeighLanes(Widen(b, half != 0), wh);
    const __m128i ch = WeighLanes(Widen(c, half != 0), wh);
    const int at = half * 8;
    StoreLanes(bins.bin[0] + at, ah);
    StoreLanes(bins.bin[1] + at, bh);
    StoreLanes(bins.bin[2] + at, ch);
    StoreLanes(bins.bin[3] + at, HalfDifferenceLanes(ah, bh));
    StoreLanes(bins.bin[4] + at, HalfDifferenceLanes(bh, ch));
    StoreLanes(bins.bin[5] + at, HalfDifferenceLanes(ch, ah));
  }
}

inline void BumpPixel(uint32_t *h, const BlockBins &bins, int i) {
  Bump(h, bins.bin[0][i], bins.bin[1][i], bins.bin[2][i], bins.bin[3][i], bins.bin[4][i], bins.bin[5][i]);
}

// The blocks of a row that lie wholly within its columns; returns the column
// after the last block.
int CountBlocks(Counts &counts, const Row &row, int columns, Selection selection, int threshold) {
  const int end = columns - columns % kBlock;
  // A mask byte is above the threshold where subtracting the threshold with
  // saturation leaves more than zero (the threshold is 0 to 254 here).
  const __m128i limit = _mm_set1_epi8(static_cast<char>(threshold));
  BlockBins bins;
  for (int x = 0; x < end; x += kBlock) {
    unsigned selected = 0xFFFF;
    if (selection == Selection::kAboveThreshold) {
      const __m128i at_most = _mm_cmpeq_epi8(_mm_subs_epu8(Load16(row.mask + x), limit), _mm_setzero_si128());
      selected = ~static_cast<unsigned>(_mm_movemask_epi8(at_most)) & 0xFFFF;
      if (selected == 0) continue;
    }
    WeighBlock(bins, row, x);
    if (selected == 0xFFFF) {
      for (int i = 0; i < kBlock; i += kCopies) {
        BumpPixel(counts.copy[0], bins, i);
        BumpPixel(counts.copy[1], bins, i + 1);
      }
    } else {
      for (unsigned n = 0; selected != 0; ++n, selected &= selected - 1) {
        BumpPixel(counts.copy[n % kCopies], bins, __builtin_ctz(selected));
      }
    }
  }
  return end;
}

#else

// Without 128-bit lanes every pixel takes the one-at-a-time path.
int CountBlocks(Counts &, const Row &, int, Selection, int) { return 0; }

#endif

}  // namespace

void CountHistograms(const HistogramBand &band) {
  const Selection selection = band.mask == nullptr || band.threshold < 0 ? Selection::kAll
                              : band.threshold >= 255                    ? Selection::kNone
                                                                         : Selection::kAboveThreshold;
  if (band.rows <= 0 || band.columns <= 0 || selection == Selection::kNone) return;
  Counts counts{};
  for (int r = 0; r < band.rows; ++r) {
    const intptr_t at = intptr_t{r} * band.plane_stride;
    const Row row{band.a + at, band.b + at, band.c + at, band.w + at,
                  selection == Selection::kAll ? nullptr : band.mask + intptr_t{r} * band.mask_stride};
    const int from = CountBlocks(counts, row, band.columns, selection, band.threshold);
    CountPixels(counts, row, from, band.columns, selection, band.threshold);
  }
  for (int i = 0; i < kHistogramCounters; ++i) band.table[i] += counts.copy[0][i] + counts.copy[1][i];
}

}  // namespace rowfork
