// The resampling suite's multiplication tables. The host asks slot 4 for the
// tables of n columns of a coefficient matrix; the module fills them itself,
// split by columns (kernels/multiply_table_split.h) or on the calling thread,
// and never calls the host's routine for it.
//
// The matrix is 32 rows of n signed 16-bit coefficients, row-major: the
// coefficient of column i and row j is element j * n + i. Column i gets 32
// tables of 256 unsigned 32-bit entries, one per row j, 32,768 bytes in all,
// columns one after another. Entry m of table j of column i holds
// base_i + 4 * m * c(i, j) (32-bit wrapping), where base_i is 32,768 for the
// first column of the call and 0 for every other.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rowfork {

constexpr int kTablesPerColumn = 32;
constexpr int kTableEntries = 256;
constexpr size_t kColumnTableBytes = kTablesPerColumn * kTableEntries * sizeof(uint32_t);
constexpr uint32_t kFirstColumnBase = 32768;

// Fills the tables of `count` columns into `output`: coefficient j of column i
// is coefficients[i + j * stride]; the first column starts its tables at
// `base`, the others at 0. Entries are produced by repeated addition, in
// order.
void FillMultiplyTables(int16_t count, const int16_t *coefficients, uint32_t *output, uint32_t base,
                        int16_t stride);

// One band of columns of a slot-4 call, as a slice's WorkerBlock carries it.
struct MultiplyBand {
  int16_t count;
  const int16_t *coefficients;
  uint32_t *output;
  uint32_t base;
  int16_t stride;  // the call's full column count
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(MultiplyBand, coefficients) == 4 && offsetof(MultiplyBand, output) == 8);
static_assert(offsetof(MultiplyBand, base) == 12 && offsetof(MultiplyBand, stride) == 16);
#endif

}  // namespace rowfork
