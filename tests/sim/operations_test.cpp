// The demonstration's operations on small documents with the host's own
// routines (no module): that each does the image work it names, that every
// repeat starts from the same state, and that its OpenMP loop computes exactly
// what its table calls compute, so that the comparison of times is fair.
#include "host/sim/operations.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <numeric>

#include "host/sim/sim_routines.h"

namespace lumora::sim {
namespace {

constexpr int kWidth = 37;
constexpr int kHeight = 29;

class OperationsTest : public ::testing::Test {
 protected:
  OperationsTest() { PutSimRoutines(suites); }

  // What one run of the operation `name` on `on` produced.
  std::vector<uint8_t> Output(const std::string &name, const Document &on) {
    auto op = std::move(MakeOperations(on, {name}).front());
    op->Prepare();
    op->Run(suites);
    return op->Output();
  }

  const Document document = GenerateDocument(kWidth, kHeight);
  HostSuites suites;
};

TEST_F(OperationsTest, EveryOperationRunsTheSameRepeatedAndUnderOpenMP) {
  for (const auto &op : MakeOperations(document, {})) {
    SCOPED_TRACE(op->Name());
    op->Prepare();
    op->Run(suites);
    const std::vector<uint8_t> once = op->Output();
    op->Run(suites);  // without Prepare: a second run on its own output
    op->Prepare();
    op->Run(suites);
    EXPECT_EQ(op->Output(), once) << "Prepare does not restore the starting state";
    for (int threads : {2, 3, 8}) {
      op->Prepare();
      op->RunOpenMP(threads);
      EXPECT_EQ(op->Output(), once) << threads << " OpenMP threads";
    }
  }
}

// Convolution: each inner pixel the rounded mean of its 3 x 3 neighbourhood,
// the border as it was. Alpha blend: the overlay's colour through its alpha,
// which also selects what the colour matrix changes.
TEST_F(OperationsTest, PlaneOperationsComputeWhatTheyNameAtEveryPixel) {
  const std::vector<uint8_t> mean = Output("convolution", document), blend = Output("alpha-blend", document),
                             sepia = Output("colour-matrix", document);
  for (size_t plane = 0; plane < 3; ++plane) {
    const std::vector<uint8_t> &in = document.image.planes[plane], &over = document.overlay.planes[plane];
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const size_t at = size_t(y * kWidth + x), out = plane * document.PlaneBytes() + at;
        const int a = document.overlay.planes[3][at];
        ASSERT_EQ(blend[out], (over[at] * a + in[at] * (255 - a) + 127) / 255) << plane << " " << at;
        ASSERT_TRUE(a > 0 || sepia[4 * at + plane] == document.image.raster[4 * at + plane]) << at;
        int expected = in[at];
        if (y > 0 && y < kHeight - 1 && x > 0 && x < kWidth - 1) {
          int sum = 0;
          for (int d = 0; d < 9; ++d) sum += in[at + size_t((d / 3 - 1) * kWidth + d % 3 - 1)];
          expected = (sum + 4) / 9;
        }
        ASSERT_EQ(mean[out], expected) << plane << " " << x << "," << y;
      }
    }
  }
}

TEST_F(OperationsTest, SumsCountsAndCopiesCoverTheWholeImage) {
  const std::vector<uint8_t> &raster = document.image.raster;
  const std::vector<uint8_t> sum = Output("pixel-sum", document), counts = Output("histograms", document);
  uint32_t total;
  ASSERT_EQ(sum.size(), sizeof total);
  std::memcpy(&total, sum.data(), sizeof total);
  EXPECT_EQ(total, std::accumulate(raster.begin(), raster.end(), uint32_t{0}));
  EXPECT_EQ(Output("raster-copy", document), raster);
  std::vector<uint32_t> table(6 * 256);
  ASSERT_EQ(counts.size(), table.size() * 4);
  std::memcpy(table.data(), counts.data(), counts.size());
  for (size_t h = 0; h < 6; ++h) {
    EXPECT_EQ(std::accumulate(&table[h * 256], &table[h * 256 + 256], 0u), uint32_t{kWidth * kHeight}) << h;
  }
}

// The editor's way of calling: many small calls back to back.
TEST_F(OperationsTest, AStrokeRunsCornerToCornerAndTilesBlendAsOneCallDoes) {
  const Document tall = GenerateDocument(300, 200);
  const std::vector<uint8_t> out = Output("brush-stroke", tall);
  auto changed = [&](size_t x, size_t y) {
    const size_t at = y * 300 + x;
    for (size_t p = 0; p < 3; ++p) {
      if (out[p * tall.PlaneBytes() + at] != tall.image.planes[p][at]) return true;
    }
    return false;
  };
  EXPECT_TRUE(changed(64, 64) && changed(150, 100) && changed(235, 135)) << "first dab, middle, last dab";
  EXPECT_FALSE(changed(299, 0) || changed(0, 199));
  EXPECT_EQ(MakeOperations(tall, {"tiled-blend"}).front()->Rows(), 64);
  EXPECT_EQ(Output("tiled-blend", tall), Output("layer-blend", tall));
}

}  // namespace
}  // namespace lumora::sim
