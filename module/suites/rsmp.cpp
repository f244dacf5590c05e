// The resampling suite: 13 wrappers. Rows split as usual, with three other
// ways of moving an argument: per-row tables (2, 4 or 32 bytes an entry) move
// on with the rows; slots 3 and 7 divide a run of bytes along a row instead
// of the rows, in whole chunks (slot 3's chunks a multiple of 4 bytes); slots
// 10 to 13 give their first plane's row length in 4- or 8-byte units, and
// slots 11 and 13 pass their second argument, which is not a plane, as it is.
// Slot 4 computes its multiplication tables itself, 32,768 bytes a column
// (kernels/multiply_tables.h).
//
// Slots 5 and 14 to 19 keep the host's own routines.
#include "kernels/multiply_table_split.h"
#include "suites/install.h"
#include "suites/installers.h"

namespace rowfork {

int32_t InstallRsmp(const PluginParamBlock *) {
  // clang-format off
  Install<Suite::rsmp,
      Row<Slots<0>,        int32_t(I32, Ptr, I16, I16, I16, I16, Ptr, I32, I16, I16, I32, I32),   Rows<3>,           Plane<2, 10>, Run<7, 2>>,
      Row<Slots<1>,        int32_t(I32, Ptr, I16, I16, I16, I16, I16, I16, Ptr, I32, I16, I16, I32, I32),
                                                                                                  Rows<3>,           Plane<2, 12>, Run<9, 2>>,
      Row<Slots<2>,        int32_t(Ptr, Ptr, I16, I16, I32, I16, I16, I32),                       Rows<3>,           Plane<1, 6>, Plane<2, 7>>,
      Row<Slots<3>,        int32_t(Ptr, Ptr, I16, I16, I32, I16, I16, I32),                       InMultiples<4, 4>, Run<1, 1>, Run<2, 1>>,
      OwnRow<Slots<4>,     int32_t(I16, Ptr, Ptr), MultiplyTableFilling,                          Rows<1>,           Run<2, 2>, Run<3, 32768>>,
      Row<Slots<6>,        int32_t(Ptr, Ptr, I16, I16, I32, I32, I16, I16, I32),                  Rows<3>,           Plane<1, 7>, Plane<2, 8>>,
      Row<Slots<7>,        int32_t(Ptr, Ptr, I16, I16, I32, I32, I16, I16, I32),                  Rows<4>,           Run<1, 1>, Run<2, 1>>,
      Row<Slots<8>,        int32_t(Ptr, Ptr, I16, I16, I16, Ptr, Ptr, I32, I32, U8),              Rows<3>,           Plane<1, 8>, Plane<2, 9>, Run<6, 4>, Run<7, 4>>,
      Row<Slots<9>,        int32_t(Ptr, Ptr, I16, I16, I16, Ptr, I32, I32, U8),                   Rows<3>,           Plane<1, 7>, Plane<2, 8>, Run<6, 32>>,
      Row<Slots<10, 12>,   int32_t(Ptr, Ptr, Ptr, I16, I16, I32, I32, I32, I32, I16, I16, I16),   Rows<4>,           ScaledPlane<1, 4, 5>, Plane<2, 6>, Plane<3, 8>>,
      Row<Slots<11, 13>,   int32_t(Ptr, I32, Ptr, I16, I16, I32, I32, I32, I32, I16, I16, I16, I16, I16),
                                                                                                  Rows<4>,           ScaledPlane<1, 8, 5>, Plane<3, 8>>>();
  // clang-format on
  return 1;
}

}  // namespace rowfork
