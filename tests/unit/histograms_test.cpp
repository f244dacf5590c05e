// The module's own histogram counting, band by band, against the reference
// counts: shapes on both sides of its blocks of pixels, masks at every kind of
// threshold, and every colour at every weight.
#include "kernels/histograms.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "histogram_reference.h"

namespace rowfork::testing {
namespace {

HistogramBand BandOf(const histogram_reference::Band &r, uint32_t *table) {
  using S = int16_t;
  return {r.a,  r.b, r.c, r.w, r.mask, S(r.rows), S(r.columns), S(r.stride), S(r.mask_stride), S(r.threshold),
          table};
}

// A random picture.
struct Image : histogram_reference::Picture {
  Image(int rows_, int columns_, int stride_, int mask_stride_, uint32_t seed)
      : Picture(rows_, columns_, stride_, mask_stride_) {
    std::mt19937 random(seed);
    for (auto *plane : {&a, &b, &c, &w, &mask}) {
      for (uint8_t &byte : *plane) byte = static_cast<uint8_t>(random());
    }
  }
};

TEST(HistogramCounting, MatchesTheReferenceOverShapesMasksAndThresholds) {
  struct Shape {
    int rows, columns, stride, mask_stride;
  };
  // Columns on both sides of whole blocks of pixels; strides negative and
  // wider than the row; a mask wider than the planes.
  const Shape shapes[] = {{1, 1, 1, 1},      {3, 15, 15, 15},  {3, 16, 16, 16},    {2, 17, 20, 17},
                          {5, 33, -40, 33},  {4, 48, 48, -64}, {7, 100, 128, 300}, {1, 255, -256, -256},
                          {9, 31, 31, 1000}, {2, 70, -100, 70}};
  uint32_t seed = 1;
  for (const Shape &shape : shapes) {
    const Image image(shape.rows, shape.columns, shape.stride, shape.mask_stride, seed++);
    for (bool masked : {false, true}) {
      for (int threshold : {-32768, -1, 0, 1, 127, 128, 200, 254, 255, 300, 32767}) {
        if (!masked && threshold != 0) continue;
        SCOPED_TRACE(::testing::Message()
                     << shape.rows << "x" << shape.columns << " stride " << shape.stride << " mask stride "
                     << shape.mask_stride << (masked ? " threshold " : " no mask ") << threshold);
        std::vector<uint32_t> table(kHistogramCounters, 0);
        CountHistograms(BandOf(image.Of(masked, threshold), table.data()));
        ASSERT_EQ(table, histogram_reference::Counts(image.Of(masked, threshold)));
      }
    }
  }
}

// Every colour at every weight: row r has weight r, and column x colours x,
// 255 - x and 7x (mod 256).
TEST(HistogramCounting, EveryColourAtEveryWeightRoundsExactly) {
  histogram_reference::Picture picture(256, 256, 256, 256);
  for (size_t i = 0; i < picture.a.size(); ++i) {
    picture.a[i] = static_cast<uint8_t>(i);
    picture.b[i] = static_cast<uint8_t>(255 - i % 256);
    picture.c[i] = static_cast<uint8_t>(i * 7);
    picture.w[i] = static_cast<uint8_t>(i / 256);
  }
  std::vector<uint32_t> table(kHistogramCounters, 0);
  CountHistograms(BandOf(picture.Of(false, 0), table.data()));
  EXPECT_EQ(table, histogram_reference::Counts(picture.Of(false, 0)));
}

}  // namespace
}  // namespace rowfork::testing
