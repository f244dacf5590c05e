#include "kernels/multiply_tables.h"

#include <cstring>

namespace rowfork {
namespace {

// ---- one table ----

// Eight entries side by side. Without vector registers of this width the
// compiler splits the lanes into narrower ones, or into eight plain values.
using Lanes = uint32_t __attribute__((vector_size(32)));
constexpr int kLanes = 8;
constexpr uint32_t kLaneCount = kLanes;

// Two vectors of lanes walk the table together: lane l of the first holds
// entry 16s + l, of the second 16s + 8 + l, and each step adds 16 steps to
// every lane, so the inner loop only adds and stores.
[[gnu::always_inline]] inline void FillTable(uint32_t *table, uint32_t start, uint32_t step) {
  Lanes low = start + step * Lanes{0, 1, 2, 3, 4, 5, 6, 7};
  Lanes high = low + kLaneCount * step;
  const Lanes sixteen_steps = Lanes{} + 2 * kLaneCount * step;
  for (int m = 0; m < kTableEntries; m += 2 * kLanes) {
    std::memcpy(table + m, &low, sizeof(Lanes));
    std::memcpy(table + m + kLanes, &high, sizeof(Lanes));
    low += sixteen_steps;
    high += sixteen_steps;
  }
}

// Every column's 32 tables, in order.
[[gnu::always_inline]] inline void FillColumns(int16_t count, const int16_t *coefficients, uint32_t *output,
                                               uint32_t base, int16_t stride) {
  for (int i = 0; i < count; ++i) {
    const uint32_t start = i == 0 ? base : 0;
    for (int j = 0; j < kTablesPerColumn; ++j, output += kTableEntries) {
      // 4 * c in unsigned arithmetic: a negative coefficient gives a table
      // that descends, wrapping at 32 bits.
      const auto c = static_cast<uint32_t>(int32_t{coefficients[i + intptr_t{j} * stride]});
      FillTable(output, start, 4 * c);
    }
  }
}

using ColumnFill = void (*)(int16_t, const int16_t *, uint32_t *, uint32_t, int16_t);

void FillColumnsPlain(int16_t count, const int16_t *coefficients, uint32_t *output, uint32_t base,
                      int16_t stride) {
  FillColumns(count, coefficients, output, base, stride);
}

#if defined(__x86_64__)
// Processors with 256-bit integer vectors store a whole vector of lanes at once.
[[gnu::target("avx2")]] void FillColumnsWide(int16_t count, const int16_t *coefficients, uint32_t *output,
                                             uint32_t base, int16_t stride) {
  FillColumns(count, coefficients, output, base, stride);
}

ColumnFill ChooseColumnFill() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") ? &FillColumnsWide : &FillColumnsPlain;
}
#else
ColumnFill ChooseColumnFill() { return &FillColumnsPlain; }
#endif

}  // namespace

void FillMultiplyTables(int16_t count, const int16_t *coefficients, uint32_t *output, uint32_t base,
                        int16_t stride) {
  // Chosen at the first call, by whichever thread makes it.
  static const ColumnFill fill = ChooseColumnFill();
  fill(count, coefficients, output, base, stride);
}

}  // namespace rowfork
