// The six histograms of a band of pixels, straight from their definition and
// in a form of their own (rows and columns indexed, weights rounded in
// floating point, differences halved toward minus infinity), for tests to
// compare both the module's counting and the host's against.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace histogram_reference {

constexpr size_t kCounters = 6 * 256;

struct Band {
  const uint8_t *a, *b, *c, *w;  // colours and weight
  const uint8_t *mask;           // null: every pixel counts
  int rows, columns, stride, mask_stride, threshold;
};

// Colour times weight over 255, to the nearest whole number. The exact
// quotient is never halfway between two, 255 being odd.
inline int Weighted(int colour, int weight) { return static_cast<int>(std::lround(colour * weight / 255.0)); }

inline int HalfDifference(int x, int y) { return static_cast<int>(std::floor((x - y) / 2.0)) + 128; }

// Adds the band's counts into `counts` (1,536 counters, wrapping).
inline void AddCounts(const Band &band, std::vector<uint32_t> &counts) {
  for (int r = 0; r < band.rows; ++r) {
    for (int x = 0; x < band.columns; ++x) {
      if (band.mask != nullptr && band.mask[ptrdiff_t{r} * band.mask_stride + x] <= band.threshold) continue;
      const ptrdiff_t at = ptrdiff_t{r} * band.stride + x;
      const int a = Weighted(band.a[at], band.w[at]);
      const int b = Weighted(band.b[at], band.w[at]);
      const int c = Weighted(band.c[at], band.w[at]);
      const int bins[6] = {a, b, c, HalfDifference(a, b), HalfDifference(b, c), HalfDifference(c, a)};
      for (size_t h = 0; h < 6; ++h) ++counts[h * 256 + static_cast<size_t>(bins[h])];
    }
  }
}

inline std::vector<uint32_t> Counts(const Band &band) {
  std::vector<uint32_t> counts(kCounters, 0);
  AddCounts(band, counts);
  return counts;
}

// Planes A, B, C and W at one stride and a mask at its own, `rows` rows each,
// zero until a test fills them. Row 0 of a plane with a negative stride is
// the last in memory.
struct Picture {
  Picture(int rows_, int columns_, int stride_, int mask_stride_)
      : rows(rows_), columns(columns_), stride(stride_), mask_stride(mask_stride_) {
    for (auto *plane : {&a, &b, &c, &w}) plane->resize(static_cast<size_t>(rows * std::abs(stride)));
    mask.resize(static_cast<size_t>(rows * std::abs(mask_stride)));
  }
  const uint8_t *Start(const std::vector<uint8_t> &plane, int row_stride) const {
    return plane.data() + (row_stride < 0 ? ptrdiff_t{rows - 1} * -row_stride : 0);
  }
  Band Of(bool masked, int threshold) const {
    const uint8_t *selection = masked ? Start(mask, mask_stride) : nullptr;
    return Band{Start(a, stride), Start(b, stride), Start(c, stride), Start(w, stride), selection, rows,
                columns,          stride,           mask_stride,      threshold};
  }
  int rows, columns, stride, mask_stride;
  std::vector<uint8_t> a, b, c, w, mask;
};

}  // namespace histogram_reference
