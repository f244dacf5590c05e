// The display suite: 13 wrappers split by rows. Seven take a 32-bit row
// stride for their first planes and cut the rows per slice down to a
// multiple of that same stride before splitting (a stride of 0 cuts nothing;
// one larger than the rows per slice leaves the call unsplit); their other
// plane moves by a row length in 4-byte units. Slot 4 runs unsplit when its
// sixth argument is 1. Slot 23 divides a 32-bit count of 4-byte elements;
// slots 24 and 25 move a row origin with the slice; slots 27 to 29 move their
// second plane by a stride times a factor, which slots 28 and 29 count twice.
//
// The other 38 saved slots keep the host's own routines.
#include "suites/install.h"
#include "suites/installers.h"

namespace rowfork {

int32_t InstallDisp(const PluginParamBlock *) {
  // clang-format off
  Install<Suite::disp,
      Row<Slots<4>,         int32_t(Ptr, Ptr, I16, I16, I32, I16, I16),           AlignedRows<3, 5>, Plane<1, 5>, Plane<2, 7>, UnsplitWhenArgIs<6, 1>>,
      Row<Slots<7>,         int32_t(Ptr, Ptr, I16, I16, I32, I16, I16),           AlignedRows<3, 5>, Plane<1, 5>, Plane<2, 7>>,
      Row<Slots<8, 9, 10>,  int32_t(Ptr, Ptr, I16, I16, I32, I16),                AlignedRows<3, 5>, Plane<1, 5>, ScaledPlane<2, 4, 4>>,
      Row<Slots<11>,        int32_t(Ptr, Ptr, Ptr, Ptr, I16, I16, I32, I16),      AlignedRows<5, 7>, Plane<1, 7>, Plane<2, 7>, Plane<3, 7>,
                                                                                                     ScaledPlane<4, 4, 6>>,
      Row<Slots<12>,        int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I32, I16), AlignedRows<6, 8>, Plane<1, 8>, Plane<2, 8>, Plane<3, 8>,
                                                                                                     Plane<4, 8>, ScaledPlane<5, 4, 7>>,
      Row<Slots<23>,        int32_t(Ptr, I32, I32),                               Rows<2>,           Run<1, 4>>,
      Row<Slots<24, 25>,    int32_t(Ptr, I16, I16, I16, I16, I16, I32, I32),      Rows<2>,           ScaledPlane<1, 4, 3>, Origin<4>>,
      Row<Slots<27>,        int32_t(Ptr, Ptr, I16, I16, I16, I16, I16),           Rows<3>,           Plane<1, 5>, Plane<2, 6, 7>>,
      Row<Slots<28, 29>,    int32_t(Ptr, Ptr, I16, I16, I16),                     Rows<3>,           ScaledPlane<1, 4, 4>, ScaledPlane<2, 4, 4, 5, 5>>>();
  // clang-format on
  return 1;
}

}  // namespace rowfork
