#include "suites/rsmp_tables.h"

#include <cstring>
#include <new>
#include <type_traits>

#include "pool/bands.h"
#include "pool/fork_join.h"

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
[[gnu::always_inline]] inline void FillColumns(I16 count, const I16 *coefficients, uint32_t *output,
                                               uint32_t base, I16 stride) {
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

using ColumnFill = void (*)(I16, const I16 *, uint32_t *, uint32_t, I16);

void FillColumnsPlain(I16 count, const I16 *coefficients, uint32_t *output, uint32_t base, I16 stride) {
  FillColumns(count, coefficients, output, base, stride);
}

#if defined(__x86_64__)
// Processors with 256-bit integer vectors store a whole vector of lanes at once.
[[gnu::target("avx2")]] void FillColumnsWide(I16 count, const I16 *coefficients, uint32_t *output,
                                             uint32_t base, I16 stride) {
  FillColumns(count, coefficients, output, base, stride);
}

ColumnFill ChooseColumnFill() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") ? &FillColumnsWide : &FillColumnsPlain;
}
#else
ColumnFill ChooseColumnFill() { return &FillColumnsPlain; }
#endif

// ---- the split ----

static_assert(sizeof(MultiplyBand) <= sizeof(WorkerBlock) && std::is_trivially_destructible_v<MultiplyBand>);

void MultiplySliceProc(WorkerBlock *block) {
  const MultiplyBand &band = *std::launder(reinterpret_cast<MultiplyBand *>(block->bytes));
  FillMultiplyTables(band.count, band.coefficients, band.output, band.base, band.stride);
}

}  // namespace

void FillMultiplyTables(I16 count, const I16 *coefficients, uint32_t *output, uint32_t base, I16 stride) {
  // Chosen at the first call, by whichever thread makes it.
  static const ColumnFill fill = ChooseColumnFill();
  fill(count, coefficients, output, base, stride);
}

int32_t FillMultiplyTablesSplit(I16 columns, Ptr coefficients, Ptr output) {
  if (coefficients == nullptr || output == nullptr) return 0;
  const auto *matrix = static_cast<const I16 *>(coefficients);
  auto *tables = static_cast<uint32_t *>(output);
  const int threads = ThreadCount;
  const Bands bands = DivideRows(columns, threads);
  if (!bands.Splits() || !ClaimPool()) {
    FillMultiplyTables(columns, matrix, tables, kFirstColumnBase, columns);
    return 0;
  }
  for (int k = 0; k < threads; ++k) {
    const int32_t first = bands.First(k);
    new (SliceBlock(k)->bytes) MultiplyBand{
        static_cast<I16>(bands.Count(k, threads)), matrix + first,
        static_cast<uint32_t *>(Advance(tables, RowOffset(first, static_cast<int32_t>(kColumnTableBytes)))),
        // Only the call's very first column starts at the base.
        k == 0 ? kFirstColumnBase : 0, columns};
  }
  RunSlices(&MultiplySliceProc);
  ReleasePool();
  return 0;
}

}  // namespace rowfork
