// The module's own multiplication tables, band by band: a band of columns
// with its own base and the whole matrix's stride fills exactly its part of
// the whole call's tables, which the host computes entry by entry.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "host/suites/rsmp_routines.h"
#include "kernels/multiply_tables.h"

namespace rowfork::testing {
namespace {

constexpr size_t kColumnEntries = kColumnTableBytes / sizeof(uint32_t);

std::vector<int16_t> Matrix(int columns, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<int16_t> matrix(size_t(32) * size_t(columns));
  for (int16_t &c : matrix) c = static_cast<int16_t>(random());
  return matrix;
}

TEST(MultiplyTables, EveryBandIsItsPartOfTheWhole) {
  constexpr int kColumns = 13;
  std::vector<int16_t> matrix = Matrix(kColumns, 3);
  std::vector<uint32_t> whole(kColumns * kColumnEntries);
  lumora::MultiplyTablesByFormula(kColumns, matrix.data(), whole.data());
  for (int first : {0, 1, 6, 12}) {
    for (int count = 1; first + count <= kColumns; count += 5) {
      SCOPED_TRACE(::testing::Message() << "columns " << first << " to " << first + count - 1);
      std::vector<uint32_t> band(size_t(count) * kColumnEntries + 1, 0xDEADBEEF);
      FillMultiplyTables(static_cast<int16_t>(count), matrix.data() + first, band.data(),
                         first == 0 ? kFirstColumnBase : 0, kColumns);
      EXPECT_TRUE(std::equal(band.begin(), band.end() - 1,
                             whole.begin() + ptrdiff_t(size_t(first) * kColumnEntries)));
      EXPECT_EQ(band.back(), 0xDEADBEEFu) << "nothing past the band";
    }
  }
}

// Any base: entry m is base + 4 * m * c, wrapping, for the first column only.
TEST(MultiplyTables, TheFirstColumnStartsAtTheBaseAndWraps) {
  const int16_t matrix[2 * 32] = {1, 2, -32768, 32767};  // column 0: rows 0 and 1; column 1: the rest
  std::vector<uint32_t> tables(2 * kColumnEntries);
  FillMultiplyTables(2, matrix, tables.data(), 0xFFFFFF00u, 2);
  EXPECT_EQ(tables[0], 0xFFFFFF00u);
  EXPECT_EQ(tables[255], 0xFFFFFF00u + 4u * 255u);
  EXPECT_EQ(tables[256 + 1], 0xFFFFFF00u + 4u * uint32_t(-32768)) << "table 1 of column 0";
  EXPECT_EQ(tables[kColumnEntries + 0], 0u) << "column 1 starts at 0";
  EXPECT_EQ(tables[kColumnEntries + 3], 12u * 2u);
  EXPECT_EQ(tables[kColumnEntries + 256 + 255], 4u * 255u * 32767u) << "table 1 of column 1";
}

TEST(MultiplyTables, NoColumnsWriteNothing) {
  const int16_t matrix[32] = {};
  std::vector<uint32_t> tables(kColumnEntries, 7);
  for (int16_t count : {int16_t{0}, int16_t{-1}, int16_t{-32768}})
    FillMultiplyTables(count, matrix, tables.data(), kFirstColumnBase, 1);
  EXPECT_EQ(tables, std::vector<uint32_t>(kColumnEntries, 7));
}

}  // namespace
}  // namespace rowfork::testing
