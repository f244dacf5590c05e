// The memory suite: 15 slots split by rows. Four slots add up their slices'
// results and one requires every slice's result to hold, so that the host
// gets the answer one call over all rows would have given. Five slots carry
// two row coordinates counted from the first row of the band: a slice gets
// them counted from its own first row, less the rows before it.
#include "suites/install.h"
#include "suites/installers.h"

namespace rowfork {

int32_t InstallMemo(const PluginParamBlock *) {
  // clang-format off
  Install<Suite::memo,
      Row<Slots<2>,                  int32_t(Ptr, Ptr, I16, I16, I16, I16, I32, I32),          Rows<3>, Plane<1, 7>, Plane<2, 8>>,
      Row<Slots<6, 9>,               int32_t(Ptr, I16, I16, I16, I32),                         Rows<2>, Plane<1, 5>>,
      Row<Slots<13, 14>,             int32_t(Ptr, Ptr, I16, I16, I16, I32, I32),               Rows<3>, Plane<1, 6>, Plane<2, 7>>,
      Row<Slots<21>,                 int32_t(Ptr, Ptr, I16, I16, I32, I32),                    Rows<3>, Plane<1, 5>, Plane<2, 6>, AllResultsNonZero>,
      Row<Slots<27, 28, 48, 49, 50>, int32_t(Ptr, I16, I16, I16, I16, I16, I16, I32, I32, U8), Rows<6>, Plane<1, 8>, OriginBack<2>, OriginBack<4>>,
      Row<Slots<32>,                 int32_t(Ptr, I16, I16, I16),                              Rows<2>, Plane<1, 4>, SumOfResults>,
      Row<Slots<33>,                 int32_t(Ptr, I16, I16, I16, I16),                         Rows<2>, Plane<1, 4>, SumOfResults>,
      Row<Slots<34>,                 int32_t(Ptr, I16, I16, I16, I32),                         Rows<2>, Plane<1, 4>, SumOfResults>,
      Row<Slots<35>,                 int32_t(Ptr, I16, I16, I32, I32),                         Rows<2>, Plane<1, 5>, SumOfResults>>();
  // clang-format on
  return 1;
}

}  // namespace rowfork
