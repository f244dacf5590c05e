// The demonstration's operations on small documents with the host's own
// routines (no module): that each does the image work it names, that every
// repeat starts from the same state, and that its OpenMP loop computes exactly
// what its table calls compute, so that the comparison of times is fair.
#include "host/sim/operations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <numeric>

#include "host/sim/sim_routines.h"
#include "host/suites/rsmp_routines.h"

namespace lumora::sim {
namespace {

constexpr int kWidth = 37;
constexpr int kHeight = 29;

class OperationsTest : public ::testing::Test {
 protected:
  OperationsTest() : document(GenerateDocument(kWidth, kHeight)) { PutSimRoutines(suites); }

  std::unique_ptr<Operation> Make(const std::string &name) {
    auto operations = MakeOperations(document, {name});
    EXPECT_EQ(operations.size(), 1u);
    return std::move(operations.front());
  }
  std::vector<uint8_t> RunOnce(Operation &op) {
    op.Prepare();
    op.Run(suites);
    return op.Output();
  }

  Document document;
  HostSuites suites;
};

TEST_F(OperationsTest, EveryOperationRunsTheSameThroughTablesRepeatedAndUnderOpenMP) {
  const std::vector<std::string> names = OperationNames();
  ASSERT_EQ(names.size(), 13u);
  for (const std::string &name : names) {
    SCOPED_TRACE(name);
    auto op = Make(name);
    const std::vector<uint8_t> once = RunOnce(*op);
    op->Run(suites);  // without Prepare: a second run on its own output
    op->Prepare();
    op->Run(suites);
    EXPECT_EQ(op->Output(), once) << "Prepare does not restore the starting state";
    for (int threads : {2, 3, 8}) {
      op->Prepare();
      op->RunOpenMP(threads);
      EXPECT_EQ(op->Output(), once) << threads << " OpenMP threads";
    }
    const std::vector<uint8_t> picture = op->Picture();
    if (!picture.empty()) {
      EXPECT_EQ(picture.size(), size_t{4} * kWidth * kHeight);
    }
  }
}

TEST_F(OperationsTest, ConvolutionIsTheRoundedMeanOfEachInnerPixelsNeighbourhood) {
  auto op = Make("convolution");
  const std::vector<uint8_t> out = RunOnce(*op);
  for (size_t plane = 0; plane < 3; ++plane) {
    const std::vector<uint8_t> &in = document.image.planes[plane];
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const size_t at = size_t(y) * kWidth + size_t(x);
        int expected = in[at];
        if (y > 0 && y < kHeight - 1 && x > 0 && x < kWidth - 1) {
          int sum = 0;
          for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) sum += in[size_t(y + dy) * kWidth + size_t(x + dx)];
          }
          expected = (sum + 4) / 9;
        }
        ASSERT_EQ(out[plane * document.PlaneBytes() + at], expected) << plane << " " << x << "," << y;
      }
    }
  }
}

TEST_F(OperationsTest, AlphaBlendFollowsTheOverlaysAlpha) {
  auto op = Make("alpha-blend");
  const std::vector<uint8_t> out = RunOnce(*op);
  int transparent = 0, partial = 0;
  for (size_t plane = 0; plane < 3; ++plane) {
    for (size_t p = 0; p < document.PlaneBytes(); ++p) {
      const int a = document.overlay.planes[3][p];
      const int src = document.overlay.planes[plane][p], dst = document.image.planes[plane][p];
      ASSERT_EQ(out[plane * document.PlaneBytes() + p], (src * a + dst * (255 - a) + 127) / 255) << p;
      transparent += a == 0;
      partial += a > 0 && a < 255;
    }
  }
  EXPECT_GT(transparent, 0);
  EXPECT_GT(partial, 0);
}

TEST_F(OperationsTest, SumsCountsAndCopiesCoverTheWholeImage) {
  const std::vector<uint8_t> &raster = document.image.raster;
  auto sum = Make("pixel-sum");
  const std::vector<uint8_t> sum_bytes = RunOnce(*sum);
  uint32_t total;
  ASSERT_EQ(sum_bytes.size(), sizeof total);
  std::memcpy(&total, sum_bytes.data(), sizeof total);
  EXPECT_EQ(total, std::accumulate(raster.begin(), raster.end(), uint32_t{0}));

  auto copy = Make("raster-copy");
  EXPECT_EQ(RunOnce(*copy), raster);

  auto histograms = Make("histograms");
  const std::vector<uint8_t> table_bytes = RunOnce(*histograms);
  std::vector<uint32_t> table(6 * 256);
  ASSERT_EQ(table_bytes.size(), table.size() * 4);
  std::memcpy(table.data(), table_bytes.data(), table_bytes.size());
  for (size_t h = 0; h < 6; ++h) {
    EXPECT_EQ(std::accumulate(table.begin() + long(h * 256), table.begin() + long(h * 256 + 256), 0u),
              uint32_t{kWidth * kHeight})
        << "histogram " << h;
  }
}

TEST_F(OperationsTest, BrushDabPaintsItsCentreAndLeavesTheCornersAlone) {
  auto op = Make("brush-dab");
  const std::vector<uint8_t> out = RunOnce(*op);
  const size_t centre = size_t(kHeight / 2) * kWidth + kWidth / 2;
  const uint8_t colour[3] = {255, 214, 120};
  for (size_t plane = 0; plane < 3; ++plane) {
    EXPECT_EQ(out[plane * document.PlaneBytes() + centre], colour[plane]);
    for (size_t corner : {size_t{0}, size_t{kWidth - 1}, document.PlaneBytes() - 1}) {
      EXPECT_EQ(out[plane * document.PlaneBytes() + corner], document.image.planes[plane][corner]);
    }
  }
}

// The editor's way of calling: many small calls back to back.
TEST_F(OperationsTest, AStrokeRunsCornerToCornerAndTilesBlendAsOneCallDoes) {
  const Document tall = GenerateDocument(300, 200);
  auto stroke = std::move(MakeOperations(tall, {"brush-stroke"}).front());
  stroke->Prepare();
  stroke->Run(suites);
  const std::vector<uint8_t> out = stroke->Output();
  const size_t plane = tall.PlaneBytes();
  auto changed = [&](size_t x, size_t y) {
    const size_t at = y * 300 + x;
    for (size_t p = 0; p < 3; ++p) {
      if (out[p * plane + at] != tall.image.planes[p][at]) return true;
    }
    return false;
  };
  EXPECT_TRUE(changed(64, 64)) << "first dab";
  EXPECT_TRUE(changed(150, 100)) << "the middle of the stroke";
  EXPECT_TRUE(changed(235, 135)) << "last dab";
  EXPECT_FALSE(changed(299, 0));
  EXPECT_FALSE(changed(0, 199));

  auto tiled = std::move(MakeOperations(tall, {"tiled-blend"}).front());
  auto whole = std::move(MakeOperations(tall, {"layer-blend"}).front());
  EXPECT_EQ(tiled->Rows(), 64);
  tiled->Prepare();
  tiled->Run(suites);
  whole->Prepare();
  whole->Run(suites);
  EXPECT_EQ(tiled->Output(), whole->Output());
}

TEST_F(OperationsTest, ColourMatrixFillsTheTablesAndChangesOnlyTheSelection) {
  auto op = Make("colour-matrix");
  const std::vector<uint8_t> out = RunOnce(*op);
  const size_t raster = document.image.raster.size();
  ASSERT_EQ(out.size(), raster + 3 * 32 * 256 * 4);

  std::array<int16_t, 96> coefficients{};
  const int16_t sepia_matrix[3][3] = {{6439, 12599, 3097}, {5718, 11239, 2753}, {4456, 8749, 2146}};
  for (size_t i = 0; i < 3; ++i) {
    for (size_t j = 0; j < 3; ++j) coefficients[j * 3 + i] = sepia_matrix[i][j];
  }
  std::vector<uint8_t> tables(3 * 32 * 256 * 4);
  MultiplyTablesByFormula(3, coefficients.data(), tables.data());
  EXPECT_TRUE(std::equal(tables.begin(), tables.end(), out.begin() + long(raster)));

  // Against the sepia matrix in floating point, mixed by the selection.
  int outside = 0, inside = 0;
  for (size_t p = 0; p < document.PlaneBytes(); ++p) {
    const uint8_t *in = &document.image.raster[4 * p];
    const uint8_t *got = &out[4 * p];
    const int weight = document.overlay.planes[3][p];
    ASSERT_EQ(got[3], in[3]);
    for (size_t i = 0; i < 3; ++i) {
      double sepia = 0;
      for (size_t j = 0; j < 3; ++j) sepia += sepia_matrix[i][j] / 16384.0 * in[j];
      const double expected = (std::min(sepia, 255.0) * weight + in[i] * (255.0 - weight)) / 255;
      ASSERT_NEAR(got[i], expected, 2.0) << p << " channel " << i;
    }
    outside += weight == 0;
    inside += weight > 200;
  }
  EXPECT_GT(outside, 0);
  EXPECT_GT(inside, 0);
}

TEST_F(OperationsTest, RowResampleMagnifiesAboutTheCentre) {
  // A raster whose pixels hold their own column: magnified 1.5 times, column
  // x shows what was at centre + (x - centre) / 1.5, give or take rounding.
  Document ramp = document;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      for (int i = 0; i < 4; ++i) ramp.image.raster[size_t(4 * (y * kWidth + x) + i)] = uint8_t(x * 6);
    }
  }
  auto op = std::move(MakeOperations(ramp, {"row-resample"}).front());
  op->Prepare();
  op->Run(suites);
  const std::vector<uint8_t> out = op->Output();
  for (int x = 0; x < kWidth; ++x) {
    const double source = kWidth / 2.0 + (x + 0.5 - kWidth / 2.0) / 1.5 - 0.5;
    const double expected = std::clamp(source, 0.0, kWidth - 1.0) * 6;
    EXPECT_NEAR(out[size_t(4 * (3 * kWidth + x))], expected, 1.0) << x;
  }
}

TEST_F(OperationsTest, DisplayIsOpaqueAndKeepsToItsLevels) {
  auto op = Make("display");
  const std::vector<uint8_t> out = RunOnce(*op);
  std::array<bool, 256> level{};
  for (int l = 0; l < 32; ++l) level[size_t(l * 255 / 31)] = true;
  for (size_t p = 0; p < document.PlaneBytes(); ++p) {
    ASSERT_EQ(out[4 * p + 3], 255) << p;
    for (size_t i = 0; i < 3; ++i) ASSERT_TRUE(level[out[4 * p + i]]) << p << " " << int(out[4 * p + i]);
  }
  // Where the image is opaque the dither moves a channel by at most one level.
  const size_t centre = size_t(kHeight / 2) * kWidth + kWidth / 2;
  ASSERT_EQ(document.image.raster[4 * centre + 3], 255);
  for (size_t i = 0; i < 3; ++i)
    EXPECT_NEAR(out[4 * centre + i], document.image.raster[4 * centre + i], 255 / 31);
}

TEST(SimRoutines, DabRowsOutsideTheBandAndColumnsOutsideTheImageAreNotTouched) {
  // A dab whose circle reaches past the plane on every side: each band of
  // rows paints only its own rows, and never a column at or past the width.
  constexpr int kSide = 16, kStride = 24;
  std::vector<uint8_t> whole(size_t{kSide} * kStride, 7), banded = whole;
  PaintDab(kSide, 0, 8, kSide, 8, whole.data(), kStride, 40, 200);
  for (int first = 0; first < kSide; first += 5) {
    const int rows = std::min(5, kSide - first);
    PaintDab(kSide, int16_t(first), 8, int16_t(rows), 8, banded.data() + first * kStride, kStride, 40, 200);
  }
  EXPECT_EQ(banded, whole);
  for (int y = 0; y < kSide; ++y) {
    for (int x = kSide; x < kStride; ++x) ASSERT_EQ(whole[size_t(y * kStride + x)], 7) << x << "," << y;
  }
}

}  // namespace
}  // namespace lumora::sim
