// The resampling suite: 13 wrappers. Rows split as usual, with three other
// ways of moving an argument: per-row tables (2, 4 or 32 bytes an entry) move
// on with the rows; slots 3 and 7 divide a run of bytes along a row instead
// of the rows, in whole chunks (slot 3's chunks a multiple of 4 bytes); slots
// 10 to 13 give their first plane's row length in 4- or 8-byte units. Slot 4
// computes its multiplication tables itself (kernels/multiply_tables.h).
//
// Slots 5 and 14 to 19 keep the host's own routines.
#include "kernels/multiply_table_split.h"
#include "pool/split.h"
#include "suites/install.h"
#include "suites/installers.h"

namespace rowfork {
namespace {

// clang-format off
//                              arguments                                                              count               moves
// 0
using HalfTable    = RowSplit<int32_t(I32, Ptr, I16, I16, I16, I16, Ptr, I32, I16, I16, I32, I32),    Rows<3>,            Plane<2, 10>, Run<7, 2>>;
// 1
using HalfTable14  = RowSplit<int32_t(I32, Ptr, I16, I16, I16, I16, I16, I16, Ptr, I32, I16, I16, I32, I32),
                                                                                                      Rows<3>,            Plane<2, 12>, Run<9, 2>>;
// 2
using TwoPlanes    = RowSplit<int32_t(Ptr, Ptr, I16, I16, I32, I16, I16, I32),                        Rows<3>,            Plane<1, 6>, Plane<2, 7>>;
// 3
using ByteQuads    = RowSplit<int32_t(Ptr, Ptr, I16, I16, I32, I16, I16, I32),                        InMultiples<4, 4>,  Run<1, 1>, Run<2, 1>>;
// 4: the module's own tables, 32,768 bytes a column
using MultiplyTables = OwnSlices<int32_t(I16, Ptr, Ptr), MultiplyTableFilling,                       Rows<1>,            Run<2, 2>, Run<3, 32768>>;
// 6
using TwoPlanes9   = RowSplit<int32_t(Ptr, Ptr, I16, I16, I32, I32, I16, I16, I32),                   Rows<3>,            Plane<1, 7>, Plane<2, 8>>;
// 7
using Bytes        = RowSplit<int32_t(Ptr, Ptr, I16, I16, I32, I32, I16, I16, I32),                   Rows<4>,            Run<1, 1>, Run<2, 1>>;
// 8
using TwoTables    = RowSplit<int32_t(Ptr, Ptr, I16, I16, I16, Ptr, Ptr, I32, I32, U8),               Rows<3>,            Plane<1, 8>, Plane<2, 9>,
                                                                                                                          Run<6, 4>, Run<7, 4>>;
// 9
using WideTable    = RowSplit<int32_t(Ptr, Ptr, I16, I16, I16, Ptr, I32, I32, U8),                    Rows<3>,            Plane<1, 7>, Plane<2, 8>,
                                                                                                                          Run<6, 32>>;
// 10, 12
using QuadUnits    = RowSplit<int32_t(Ptr, Ptr, Ptr, I16, I16, I32, I32, I32, I32, I16, I16, I16),    Rows<4>,            ScaledPlane<1, 4, 5>, Plane<2, 6>,
                                                                                                                          Plane<3, 8>>;
// 11, 13: the second argument is not a plane and stays as it is.
using OctetUnits   = RowSplit<int32_t(Ptr, I32, Ptr, I16, I16, I32, I32, I32, I32, I16, I16, I16, I16, I16),
                                                                                                      Rows<4>,            ScaledPlane<1, 8, 5>, Plane<3, 8>>;
// clang-format on

}  // namespace

int32_t InstallRsmp(const PluginParamBlock *) {
  // clang-format off
  Install<Suite::rsmp,
          Slot<0, HalfTable>,   Slot<1, HalfTable14>,  Slot<2, TwoPlanes>,   Slot<3, ByteQuads>,
          Slot<4, MultiplyTables>,
          Slot<6, TwoPlanes9>,  Slot<7, Bytes>,        Slot<8, TwoTables>,   Slot<9, WideTable>,
          Slot<10, QuadUnits>,  Slot<11, OctetUnits>,  Slot<12, QuadUnits>,  Slot<13, OctetUnits>>();
  // clang-format on
  return 1;
}

}  // namespace rowfork
