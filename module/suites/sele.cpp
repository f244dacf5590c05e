// The selection suite: seventeen routines split by rows (slot 26 divides a
// byte run in chunks of eight instead), and the histogram pair of slots 0 and
// 2, whose split counting is the module's own (kernels/histograms.h).
#include "kernels/histogram_split.h"
#include "suites/install.h"
#include "suites/installers.h"

namespace rowfork {

int32_t InstallSele(const PluginParamBlock *) {
  // clang-format off
  Install<Suite::sele,
      Hook<0, RecordHistogramTable>,
      OwnRow<Slots<2>,          int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16), HistogramCounting,
                                                                                            Rows<6>,     Plane<1, 8>, Plane<2, 8>, Plane<3, 8>, Plane<4, 8>,
                                                                                                         Optional<Plane<5, 9>>>,
      Row<Slots<13>,            int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16),       Rows<6>,     Plane<1, 8>, Plane<2, 8>, Plane<3, 8>, Plane<4, 8>, Plane<5, 9>>,
      Row<Slots<14, 15, 47, 48>, int32_t(Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16),           Rows<5>,     Plane<1, 7>, Plane<2, 7>, Plane<3, 7>, Plane<4, 8>>,
      Row<Slots<16, 17>,        int32_t(Ptr, Ptr, Ptr, I16, I16, I16, I16),                 Rows<4>,     Plane<1, 6>, Plane<2, 6>, Plane<3, 7>>,
      Row<Slots<18>,            int32_t(Ptr, Ptr, I16, I16, I16, I16),                      Rows<3>,     Plane<1, 5>, Plane<2, 6>>,
      Row<Slots<21>,            int32_t(Ptr, Ptr, I16, I16, I16, I16, I16),                 Rows<4>,     Plane<1, 6>, Plane<2, 7>>,
      Row<Slots<26>,            int32_t(Ptr, I16, I16, I32),                                InEights<3>, Run<1, 1>>,
      Row<Slots<27>,            int32_t(Ptr, I16, I16, I32),                                Rows<2>,     Plane<1, 4>>,
      Row<Slots<32>,            int32_t(Ptr, I16, I16, I16, I16, I16),                      Rows<2>,     Plane<1, 4>>,
      Row<Slots<35>,            int32_t(Ptr, Ptr, I16, I16, I32, I32, U8),                  Rows<3>,     Plane<1, 5>, Plane<2, 5>>,
      Row<Slots<41, 43>,        int32_t(Ptr, Ptr, I16, I16, I16, I16, U8),                  Rows<3>,     Plane<1, 5>, Plane<2, 6>>,
      Row<Slots<46>,            int32_t(Ptr, Ptr, I16, I16, I16, I16, I32, I32, U8, U8, I16), Rows<3>,   Plane<1, 7>, Plane<2, 8, 11>>,
      Row<Slots<49>,            int32_t(Ptr, Ptr, Ptr, Ptr, I32, I32, I32, I16, I16, I32, I32),
                                                                                            Rows<8>,     Plane<1, 10>, Plane<2, 10>, Plane<3, 10>, Plane<4, 11>>>();
  // clang-format on
  return 1;
}

}  // namespace rowfork
