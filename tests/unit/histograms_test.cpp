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

using histogram_reference::Picture;

void ExpectCountsOfTheReference(const Picture &picture, bool masked, int threshold) {
  const histogram_reference::Band r = picture.Of(masked, threshold);
  std::vector<uint32_t> table(kHistogramCounters, 0);
  using S = int16_t;
  CountHistograms({r.a, r.b, r.c, r.w, r.mask, S(r.rows), S(r.columns), S(r.stride), S(r.mask_stride),
                   S(r.threshold), table.data()});
  EXPECT_EQ(table, histogram_reference::Counts(r));
}

TEST(HistogramCounting, MatchesTheReferenceOverShapesMasksAndThresholds) {
  // Columns on both sides of whole blocks of pixels; strides negative and
  // wider than the row; a mask wider than the planes.
  Picture pictures[] = {{1, 1, 1, 1},      {3, 15, 15, 15},  {3, 16, 16, 16},    {2, 17, 20, 17},
                        {5, 33, -40, 33},  {4, 48, 48, -64}, {7, 100, 128, 300}, {1, 255, -256, -256},
                        {9, 31, 31, 1000}, {2, 70, -100, 70}};
  uint32_t seed = 1;
  for (Picture &picture : pictures) {
    std::mt19937 random(seed++);
    for (auto *plane : {&picture.a, &picture.b, &picture.c, &picture.w, &picture.mask}) {
      for (uint8_t &byte : *plane) byte = static_cast<uint8_t>(random());
    }
    for (int threshold : {-32768, -1, 0, 1, 127, 128, 200, 254, 255, 300, 32767}) {
      SCOPED_TRACE(::testing::Message()
                   << picture.rows << "x" << picture.columns << ", strides " << picture.stride << " and "
                   << picture.mask_stride << ", threshold " << threshold);
      ExpectCountsOfTheReference(picture, true, threshold);
      if (threshold == 0) ExpectCountsOfTheReference(picture, false, 0);
    }
  }
}

// Every colour at every weight: row r has weight r, and column x colours x,
// 255 - x and 7x (mod 256).
TEST(HistogramCounting, EveryColourAtEveryWeightRoundsExactly) {
  Picture picture(256, 256, 256, 256);
  for (size_t i = 0; i < picture.a.size(); ++i) {
    picture.a[i] = static_cast<uint8_t>(i);
    picture.b[i] = static_cast<uint8_t>(255 - i % 256);
    picture.c[i] = static_cast<uint8_t>(i * 7);
    picture.w[i] = static_cast<uint8_t>(i / 256);
  }
  ExpectCountsOfTheReference(picture, false, 0);
}

}  // namespace
}  // namespace rowfork::testing
