// The module's own histogram counting, band by band, against the reference
// counts and against bins worked out by hand.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "histogram_reference.h"
#include "kernels/histograms.h"

namespace rowfork::testing {
namespace {

// A picture random or in runs of equal bytes (runs make neighbouring pixels
// share their bins).
struct Image : histogram_reference::Picture {
  Image(int rows_, int columns_, int stride_, int mask_stride_, uint32_t seed, bool runs)
      : Picture(rows_, columns_, stride_, mask_stride_) {
    std::mt19937 random(seed);
    for (auto *plane : {&a, &b, &c, &w, &mask}) {
      uint8_t value = 0;
      for (uint8_t &byte : *plane) {
        if (!runs || random() % 9 == 0) value = static_cast<uint8_t>(random());
        byte = value;
      }
    }
  }
  HistogramBand Band(bool masked, int threshold, uint32_t *table) const {
    const histogram_reference::Band r = Of(masked, threshold);
    return {r.a,
            r.b,
            r.c,
            r.w,
            r.mask,
            static_cast<int16_t>(rows),
            static_cast<int16_t>(columns),
            static_cast<int16_t>(stride),
            static_cast<int16_t>(mask_stride),
            static_cast<int16_t>(threshold),
            table};
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
    for (bool runs : {false, true}) {
      const Image image(shape.rows, shape.columns, shape.stride, shape.mask_stride, seed++, runs);
      for (bool masked : {false, true}) {
        for (int threshold : {-32768, -1, 0, 1, 127, 128, 200, 254, 255, 300, 32767}) {
          if (!masked && threshold != 0) continue;
          SCOPED_TRACE(::testing::Message()
                       << shape.rows << "x" << shape.columns << " stride " << shape.stride << " mask stride "
                       << shape.mask_stride << (runs ? " runs" : "") << (masked ? " threshold " : " no mask ")
                       << threshold);
          std::vector<uint32_t> table(kHistogramCounters, 0);
          CountHistograms(image.Band(masked, threshold, table.data()));
          ASSERT_EQ(table, histogram_reference::Counts(image.Of(masked, threshold)));
        }
      }
    }
  }
}

TEST(HistogramCounting, AddsToWhatTheTableHoldsAndWraps) {
  const Image image(6, 40, 40, 40, 77, true);
  std::vector<uint32_t> table(kHistogramCounters);
  for (size_t i = 0; i < table.size(); ++i) table[i] = i % 2 == 0 ? 0xFFFFFFFFu : static_cast<uint32_t>(i);
  std::vector<uint32_t> expected = table;
  histogram_reference::AddCounts(image.Of(true, 90), expected);
  CountHistograms(image.Band(true, 90, table.data()));
  EXPECT_EQ(table, expected);
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
  const histogram_reference::Band band = picture.Of(false, 0);
  CountHistograms({band.a, band.b, band.c, band.w, nullptr, 256, 256, 256, 0, 0, table.data()});
  EXPECT_EQ(table, histogram_reference::Counts(band));
}

// Bins at the ends of every histogram, and rounding both ways, by hand.
TEST(HistogramCounting, ExtremePixelsLandInTheirBins) {
  struct Pixel {
    uint8_t a, b, c, w;
    int bins[6];
  };
  const Pixel pixels[] = {
      {255, 0, 128, 255, {255, 0, 128, 255, 64, 64}},  // (0 - 128 + 256) / 2 = 64; (128 - 255 + 256) / 2 = 64
      {0, 255, 255, 255, {0, 255, 255, 0, 128, 255}},
      {200, 100, 1, 128, {100, 50, 1, 153, 152, 78}},  // 25727 / 255 = 100; 12927 / 255 = 50; 255 / 255 = 1
      {255, 255, 255, 0, {0, 0, 0, 128, 128, 128}},
      {3, 2, 1, 85, {1, 1, 0, 128, 128, 127}},  // 382 / 255 = 1; 297 / 255 = 1; 212 / 255 = 0
  };
  for (const Pixel &pixel : pixels) {
    // The pixel alone, and repeated across a row long enough for whole blocks.
    for (int columns : {1, 37}) {
      std::vector<uint8_t> a(static_cast<size_t>(columns), pixel.a), b(a.size(), pixel.b),
          c(a.size(), pixel.c), w(a.size(), pixel.w);
      std::vector<uint32_t> table(kHistogramCounters, 0);
      CountHistograms({a.data(), b.data(), c.data(), w.data(), nullptr, 1, static_cast<int16_t>(columns),
                       static_cast<int16_t>(columns), 0, 0, table.data()});
      std::vector<uint32_t> expected(kHistogramCounters, 0);
      for (int h = 0; h < 6; ++h)
        expected[static_cast<size_t>(h * 256 + pixel.bins[h])] = static_cast<uint32_t>(columns);
      EXPECT_EQ(table, expected) << int{pixel.a} << " " << int{pixel.b} << " " << int{pixel.c} << " "
                                 << int{pixel.w} << ", " << columns << " columns";
    }
  }
}

}  // namespace
}  // namespace rowfork::testing
