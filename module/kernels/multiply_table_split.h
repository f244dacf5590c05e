// How the resampling suite's slot 4 fills its multiplication tables: split by
// columns, each slice filling its own columns' tables, or on the calling
// thread; the host's routine is never called. Only the call's very first
// column starts at the base, so the split output equals the unsplit one. A
// null matrix or output gets nothing written. The wrapper returns 0.
#pragma once

#include <cstdint>
#include <tuple>

#include "kernels/multiply_tables.h"
#include "pool/own_slices.h"

namespace rowfork {

struct MultiplyTableFilling : OwnKernel {
  using Routine = int32_t (*)(I16, Ptr, Ptr);
  using Args = std::tuple<I16, Ptr, Ptr>;
  using Band = MultiplyBand;

  static bool Take(Call &, int, const Args &in) {
    return std::get<1>(in) != nullptr && std::get<2>(in) != nullptr;
  }
  static Band BandOf(const Call &, const Args &in, const Args &slice, const SliceContext &context) {
    return Band{std::get<0>(slice), static_cast<const I16 *>(std::get<1>(slice)),
                static_cast<uint32_t *>(std::get<2>(slice)), context.k == 0 ? kFirstColumnBase : 0,
                std::get<0>(in)};
  }
  static void Slice(const Band &band) {
    FillMultiplyTables(band.count, band.coefficients, band.output, band.base, band.stride);
  }
  static int32_t Unsplit(Routine, I16 columns, Ptr coefficients, Ptr output) {
    if (coefficients != nullptr && output != nullptr) {
      FillMultiplyTables(columns, static_cast<const I16 *>(coefficients), static_cast<uint32_t *>(output),
                         kFirstColumnBase, columns);
    }
    return 0;
  }
};

}  // namespace rowfork
