// The painting suite: 33 slots split by rows. Apart from slots 1 and 2, each
// routine names its band by a 16-bit row origin two places before the row
// count; a slice's origin moves down with its planes, which all share one
// row stride. Four slots have no planes: only the origin and count change.
#include "suites/install.h"
#include "suites/installers.h"

namespace rowfork {

int32_t InstallPntg(const PluginParamBlock *) {
  // clang-format off
  Install<Suite::pntg,
      Row<Slots<1, 2>,        int32_t(Ptr, Ptr, I16, I16, I16, I16),                                    Rows<3>,            Plane<1, 5>, Plane<2, 5>>,
      Row<Slots<6, 7>,        int32_t(I16, I16, I16, I16, I16, Ptr, I16, I16),                          Rows<4>, Origin<2>, Plane<6, 7>>,
      Row<Slots<9, 11, 15>,   int32_t(I16, I16, I16, I16, I16, I16, Ptr, I16, I16),                     Rows<5>, Origin<3>, Plane<7, 8>>,
      Row<Slots<10>,          int32_t(I16, I16, I16, I16, I16, I16, Ptr, I16, I16, I16),                Rows<5>, Origin<3>, Plane<7, 9>>,
      Row<Slots<12>,          int32_t(I16, I16, I16, I16, I16, Ptr, I16, I16, I16),                     Rows<4>, Origin<2>, Plane<6, 7>>,
      Row<Slots<13, 14>,      int32_t(I16, I16, I16, I16, I16, Ptr, I16),                               Rows<4>, Origin<2>, Plane<6, 7>>,
      Row<Slots<19, 40>,      int32_t(I16, I16, I16, I16, I16, I16, Ptr, I16),                          Rows<5>, Origin<3>, Plane<7, 8>>,
      Row<Slots<20>,          int32_t(I16, I16, I16, I16, I16, I16, I16, I16),                          Rows<6>, Origin<4>>,
      Row<Slots<21, 32, 34>,  int32_t(I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, I16),                     Rows<4>, Origin<2>, Plane<6, 9>, Plane<7, 9>, Plane<8, 9>>,
      Row<Slots<22, 33, 35>,  int32_t(I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, Ptr, I16),                Rows<4>, Origin<2>, Plane<6, 10>, Plane<7, 10>, Plane<8, 10>, Plane<9, 10>>,
      Row<Slots<26>,          int32_t(I16, I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, I16, I16, I16, I16), Rows<5>, Origin<3>, Plane<7, 10>, Plane<8, 10>, Plane<9, 10>>,
      Row<Slots<27>,          int32_t(I16, I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16),
                                                                                                        Rows<5>, Origin<3>, Plane<7, 11>, Plane<8, 11>, Plane<9, 11>, Plane<10, 11>>,
      Row<Slots<28>,          int32_t(I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, I16, I16, I16, I16),      Rows<4>, Origin<2>, Plane<6, 9>, Plane<7, 9>, Plane<8, 9>>,
      Row<Slots<29>,          int32_t(I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16),
                                                                                                        Rows<4>, Origin<2>, Plane<6, 10>, Plane<7, 10>, Plane<8, 10>, Plane<9, 10>>,
      Row<Slots<30>,          int32_t(I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16), Rows<4>, Origin<2>, Plane<6, 9>, Plane<7, 9>, Plane<8, 9>>,
      Row<Slots<31>,          int32_t(I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, I16),
                                                                                                        Rows<4>, Origin<2>, Plane<6, 10>, Plane<7, 10>, Plane<8, 10>, Plane<9, 10>>,
      Row<Slots<36>,          int32_t(I16, I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, I16),                Rows<5>, Origin<3>, Plane<7, 10>, Plane<8, 10>, Plane<9, 10>>,
      Row<Slots<37>,          int32_t(I16, I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, Ptr, I16),           Rows<5>, Origin<3>, Plane<7, 11>, Plane<8, 11>, Plane<9, 11>, Plane<10, 11>>,
      Row<Slots<38>,          int32_t(I16, I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, I16, I16),           Rows<5>, Origin<3>, Plane<7, 10>, Plane<8, 10>, Plane<9, 10>>,
      Row<Slots<39>,          int32_t(I16, I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, Ptr, I16, I16),      Rows<5>, Origin<3>, Plane<7, 11>, Plane<8, 11>, Plane<9, 11>, Plane<10, 11>>,
      Row<Slots<41>,          int32_t(I16, I16, I16, I16, I16, I16, I16),                               Rows<5>, Origin<3>>,
      Row<Slots<42, 45>,      int32_t(I16, I16, I16, I16, I16, I16, I16),                               Rows<6>, Origin<4>>>();
  // clang-format on
  return 1;
}

}  // namespace rowfork
