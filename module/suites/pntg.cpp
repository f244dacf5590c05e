// The painting suite: 33 slots split by rows. Apart from slots 1 and 2, each
// routine names its band by a 16-bit row origin two places before the row
// count; a slice's origin moves down with its planes, which all share one
// row stride. Four slots have no planes: only the origin and count change.
//
// Declarations are named after their layout: where the origin stands, how
// many planes follow it, and how many arguments the routine takes.
#include "pool/split.h"
#include "suites/install.h"
#include "suites/installers.h"

namespace rowfork {
namespace {

// clang-format off
//                                arguments                                                                 count    origin     planes
using TwoPlanes       = RowSplit<int32_t(Ptr, Ptr, I16, I16, I16, I16),                                     Rows<3>,            Plane<1, 5>, Plane<2, 5>>;
using At2Plane1Args8  = RowSplit<int32_t(I16, I16, I16, I16, I16, Ptr, I16, I16),                           Rows<4>, Origin<2>, Plane<6, 7>>;
using At2Plane1Args9  = RowSplit<int32_t(I16, I16, I16, I16, I16, Ptr, I16, I16, I16),                      Rows<4>, Origin<2>, Plane<6, 7>>;
using At2Plane1Args7  = RowSplit<int32_t(I16, I16, I16, I16, I16, Ptr, I16),                                Rows<4>, Origin<2>, Plane<6, 7>>;
using At3Plane1Args9  = RowSplit<int32_t(I16, I16, I16, I16, I16, I16, Ptr, I16, I16),                      Rows<5>, Origin<3>, Plane<7, 8>>;
using At3Plane1Args10 = RowSplit<int32_t(I16, I16, I16, I16, I16, I16, Ptr, I16, I16, I16),                 Rows<5>, Origin<3>, Plane<7, 9>>;
using At3Plane1Args8  = RowSplit<int32_t(I16, I16, I16, I16, I16, I16, Ptr, I16),                           Rows<5>, Origin<3>, Plane<7, 8>>;
using At4NoPlaneArgs8 = RowSplit<int32_t(I16, I16, I16, I16, I16, I16, I16, I16),                           Rows<6>, Origin<4>>;
using At4NoPlaneArgs7 = RowSplit<int32_t(I16, I16, I16, I16, I16, I16, I16),                                Rows<6>, Origin<4>>;
using At3NoPlaneArgs7 = RowSplit<int32_t(I16, I16, I16, I16, I16, I16, I16),                                Rows<5>, Origin<3>>;
using At2Planes3Args9 = RowSplit<int32_t(I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, I16),                      Rows<4>, Origin<2>, Plane<6, 9>, Plane<7, 9>, Plane<8, 9>>;
using At2Planes3Args12= RowSplit<int32_t(I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, I16, I16, I16, I16),       Rows<4>, Origin<2>, Plane<6, 9>, Plane<7, 9>, Plane<8, 9>>;
using At2Planes3Args13= RowSplit<int32_t(I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16),  Rows<4>, Origin<2>, Plane<6, 9>, Plane<7, 9>, Plane<8, 9>>;
using At2Planes4Args10= RowSplit<int32_t(I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, Ptr, I16),                 Rows<4>, Origin<2>, Plane<6, 10>, Plane<7, 10>, Plane<8, 10>, Plane<9, 10>>;
using At2Planes4Args14= RowSplit<int32_t(I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16),
                                                                                                            Rows<4>, Origin<2>, Plane<6, 10>, Plane<7, 10>, Plane<8, 10>, Plane<9, 10>>;
using At2Planes4Args15= RowSplit<int32_t(I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, I16),
                                                                                                            Rows<4>, Origin<2>, Plane<6, 10>, Plane<7, 10>, Plane<8, 10>, Plane<9, 10>>;
using At3Planes3Args10= RowSplit<int32_t(I16, I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, I16),                 Rows<5>, Origin<3>, Plane<7, 10>, Plane<8, 10>, Plane<9, 10>>;
using At3Planes3Args11= RowSplit<int32_t(I16, I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, I16, I16),            Rows<5>, Origin<3>, Plane<7, 10>, Plane<8, 10>, Plane<9, 10>>;
using At3Planes3Args13= RowSplit<int32_t(I16, I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, I16, I16, I16, I16),  Rows<5>, Origin<3>, Plane<7, 10>, Plane<8, 10>, Plane<9, 10>>;
using At3Planes4Args11= RowSplit<int32_t(I16, I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, Ptr, I16),            Rows<5>, Origin<3>, Plane<7, 11>, Plane<8, 11>, Plane<9, 11>, Plane<10, 11>>;
using At3Planes4Args12= RowSplit<int32_t(I16, I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, Ptr, I16, I16),       Rows<5>, Origin<3>, Plane<7, 11>, Plane<8, 11>, Plane<9, 11>, Plane<10, 11>>;
using At3Planes4Args15= RowSplit<int32_t(I16, I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16),
                                                                                                            Rows<5>, Origin<3>, Plane<7, 11>, Plane<8, 11>, Plane<9, 11>, Plane<10, 11>>;
// clang-format on

}  // namespace

int32_t InstallPntg(const PluginParamBlock *) {
  // clang-format off
  Install<Suite::pntg,
          Slot<1,  TwoPlanes>,        Slot<2,  TwoPlanes>,
          Slot<6,  At2Plane1Args8>,   Slot<7,  At2Plane1Args8>,
          Slot<9,  At3Plane1Args9>,   Slot<10, At3Plane1Args10>,  Slot<11, At3Plane1Args9>,
          Slot<12, At2Plane1Args9>,   Slot<13, At2Plane1Args7>,   Slot<14, At2Plane1Args7>,
          Slot<15, At3Plane1Args9>,   Slot<19, At3Plane1Args8>,   Slot<20, At4NoPlaneArgs8>,
          Slot<21, At2Planes3Args9>,  Slot<22, At2Planes4Args10>, Slot<26, At3Planes3Args13>,
          Slot<27, At3Planes4Args15>, Slot<28, At2Planes3Args12>, Slot<29, At2Planes4Args14>,
          Slot<30, At2Planes3Args13>, Slot<31, At2Planes4Args15>, Slot<32, At2Planes3Args9>,
          Slot<33, At2Planes4Args10>, Slot<34, At2Planes3Args9>,  Slot<35, At2Planes4Args10>,
          Slot<36, At3Planes3Args10>, Slot<37, At3Planes4Args11>, Slot<38, At3Planes3Args11>,
          Slot<39, At3Planes4Args12>, Slot<40, At3Plane1Args8>,   Slot<41, At3NoPlaneArgs7>,
          Slot<42, At4NoPlaneArgs7>,  Slot<45, At4NoPlaneArgs7>>();
  // clang-format on
  return 1;
}

}  // namespace rowfork
