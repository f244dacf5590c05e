// A routine that really works row by row gives byte for byte the same output
// split as unsplit, guard bytes around its planes untouched.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "pool/split.h"
#include "unit/module_fixture.h"

namespace rowfork::testing {
namespace {

constexpr int kColumns = 16;
constexpr int kGuard = 64;

// Row r of each plane starts r strides from its pointer; strides may be negative.
int32_t MixRows(Ptr source, Ptr target, I16 rows, I16 seed, I16 source_stride, I16 target_stride) {
  for (int r = 0; r < rows; ++r) {
    const auto *in = static_cast<const uint8_t *>(source) + r * source_stride;
    auto *out = static_cast<uint8_t *>(target) + r * target_stride;
    for (int c = 0; c < kColumns; ++c) out[c] = static_cast<uint8_t>(in[c] * 3 + c + seed + (out[c] >> 1));
  }
  return 0;
}
using Mix = RowSplit<int32_t(Ptr, Ptr, I16, I16, I16, I16), Rows<3>, Plane<1, 5>, Plane<2, 6>>;

// A plane of `rows` rows at `stride` with guard bytes on both sides.
struct GuardedPlane {
  GuardedPlane(int rows, int stride, uint32_t seed) {
    const int span = rows * std::abs(stride);
    bytes.resize(static_cast<size_t>(span + 2 * kGuard));
    std::mt19937 random(seed);
    for (auto &byte : bytes) byte = static_cast<uint8_t>(random());
    first_row = kGuard + (stride < 0 ? span + stride : 0);
  }
  Ptr Rows() { return bytes.data() + first_row; }
  std::vector<uint8_t> bytes;
  int first_row;
};

class SplitOutput : public PoolTest {};

TEST_P(SplitOutput, MatchesTheUnsplitRunByteForByte) {
  for (int rows = 1; rows <= 21; ++rows) {
    for (auto [source_stride, target_stride] : {std::pair{16, 16}, std::pair{24, 40}, std::pair{-24, 17}}) {
      SCOPED_TRACE(::testing::Message()
                   << rows << " rows, strides " << source_stride << ", " << target_stride);
      GuardedPlane source(rows, source_stride, 1u + static_cast<uint32_t>(rows));
      GuardedPlane unsplit(rows, target_stride, 99u);
      GuardedPlane split(rows, target_stride, 99u);
      MixRows(source.Rows(), unsplit.Rows(), static_cast<I16>(rows), 5, static_cast<I16>(source_stride),
              static_cast<I16>(target_stride));
      Mix::Run(&MixRows, source.Rows(), split.Rows(), static_cast<I16>(rows), 5,
               static_cast<I16>(source_stride), static_cast<I16>(target_stride));
      ASSERT_EQ(split.bytes, unsplit.bytes);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Threads, SplitOutput, ::testing::Values(2, 3, 4, 8));

}  // namespace
}  // namespace rowfork::testing
