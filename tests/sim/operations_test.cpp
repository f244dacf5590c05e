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

  // Outside the selection the pixels stay as they were.
  int outside = 0;
  for (size_t p = 0; p < document.PlaneBytes(); ++p) {
    if (document.overlay.planes[3][p] != 0) continue;
    ++outside;
    ASSERT_TRUE(std::equal(&out[4 * p], &out[4 * p + 4], &document.image.raster[4 * p])) << p;
  }
  EXPECT_GT(outside, 0);
}

}  // namespace
}  // namespace lumora::sim
