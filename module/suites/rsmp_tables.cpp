#include "suites/rsmp_tables.h"

#include <new>
#include <type_traits>

#include "pool/bands.h"
#include "pool/fork_join.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace rowfork {
namespace {

// ---- one table ----

#if defined(__SSE2__)

// Eight entries a step in two lanes of four: lane l holds entry 8s + l, and
// every lane moves on by 8 * step at once.
void FillTable(uint32_t *table, uint32_t start, uint32_t step) {
  __m128i low = _mm_add_epi32(
      _mm_set1_epi32(static_cast<int>(start)),
      _mm_setr_epi32(0, static_cast<int>(step), static_cast<int>(2 * step), static_cast<int>(3 * step)));
  const __m128i four_steps = _mm_set1_epi32(static_cast<int>(4 * step));
  const __m128i eight_steps = _mm_add_epi32(four_steps, four_steps);
  __m128i high = _mm_add_epi32(low, four_steps);
  auto *out = reinterpret_cast<__m128i *>(table);
  for (int m = 0; m < kTableEntries; m += 8, out += 2) {
    _mm_storeu_si128(out, low);
    _mm_storeu_si128(out + 1, high);
    low = _mm_add_epi32(low, eight_steps);
    high = _mm_add_epi32(high, eight_steps);
  }
}

#else

void FillTable(uint32_t *table, uint32_t start, uint32_t step) {
  uint32_t value = start;
  for (int m = 0; m < kTableEntries; ++m) {
    table[m] = value;
    value += step;
  }
}

#endif

// ---- the split ----

static_assert(sizeof(MultiplyBand) <= sizeof(WorkerBlock) && std::is_trivially_destructible_v<MultiplyBand>);

void MultiplySliceProc(WorkerBlock *block) {
  const MultiplyBand &band = *std::launder(reinterpret_cast<MultiplyBand *>(block->bytes));
  FillMultiplyTables(band.count, band.coefficients, band.output, band.base, band.stride);
}

}  // namespace

void FillMultiplyTables(I16 count, const I16 *coefficients, uint32_t *output, uint32_t base, I16 stride) {
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
