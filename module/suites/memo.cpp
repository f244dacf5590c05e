// The memory suite: 15 slots split by rows. Four slots add up their slices'
// results and one requires every slice's result to hold, so that the host
// gets the answer one call over all rows would have given. Five slots carry
// two row coordinates counted from the first row of the band: a slice gets
// them counted from its own first row, less the rows before it.
#include "pool/split.h"
#include "suites/install.h"
#include "suites/installers.h"

namespace rowfork {
namespace {

// clang-format off
//                          arguments                                                 count    moves                                           result
using TwoStrides  = RowSplit<int32_t(Ptr, Ptr, I16, I16, I16, I16, I32, I32),         Rows<3>, Plane<1, 7>, Plane<2, 8>>;
using OnePlane    = RowSplit<int32_t(Ptr, I16, I16, I16, I32),                        Rows<2>, Plane<1, 5>>;
using TwoPlanes   = RowSplit<int32_t(Ptr, Ptr, I16, I16, I16, I32, I32),              Rows<3>, Plane<1, 6>, Plane<2, 7>>;
using EveryRow    = RowSplit<int32_t(Ptr, Ptr, I16, I16, I32, I32),                   Rows<3>, Plane<1, 5>, Plane<2, 6>,                     AllResultsNonZero>;
using FromFirst   = RowSplit<int32_t(Ptr, I16, I16, I16, I16, I16, I16, I32, I32, U8), Rows<6>, Plane<1, 8>, OriginBack<2>, OriginBack<4>>;
using Summed      = RowSplit<int32_t(Ptr, I16, I16, I16),                             Rows<2>, Plane<1, 4>,                                  SumOfResults>;
using SummedArgs5 = RowSplit<int32_t(Ptr, I16, I16, I16, I16),                        Rows<2>, Plane<1, 4>,                                  SumOfResults>;
using SummedI32   = RowSplit<int32_t(Ptr, I16, I16, I16, I32),                        Rows<2>, Plane<1, 4>,                                  SumOfResults>;
using SummedWide  = RowSplit<int32_t(Ptr, I16, I16, I32, I32),                        Rows<2>, Plane<1, 5>,                                  SumOfResults>;
// clang-format on

}  // namespace

int32_t InstallMemo(const PluginParamBlock *) {
  // clang-format off
  Install<Suite::memo,
          Slot<2,  TwoStrides>, Slot<6,  OnePlane>,    Slot<9,  OnePlane>,  Slot<13, TwoPlanes>,
          Slot<14, TwoPlanes>,  Slot<21, EveryRow>,    Slot<27, FromFirst>, Slot<28, FromFirst>,
          Slot<32, Summed>,     Slot<33, SummedArgs5>, Slot<34, SummedI32>, Slot<35, SummedWide>,
          Slot<48, FromFirst>,  Slot<49, FromFirst>,   Slot<50, FromFirst>>();
  // clang-format on
  return 1;
}

}  // namespace rowfork
