// The raster suite: all four slots split by rows. The first plane moves by its
// stride times a factor argument; slot 2's third plane may be null.
#include "pool/split.h"
#include "suites/install.h"
#include "suites/installers.h"

namespace rowfork {
namespace {

// clang-format off
//                           arguments                                               count    moves
using Planes      = RowSplit<int32_t(Ptr, Ptr, I16, I16, I32, I32, I16, I16),       Rows<3>, Plane<1, 5, 8>, Plane<2, 6>>;
using PlanesValue = RowSplit<int32_t(Ptr, Ptr, I16, I16, I32, I32, I16, I16, I32),  Rows<3>, Plane<1, 5, 8>, Plane<2, 6>>;
using ThreePlanes = RowSplit<int32_t(Ptr, Ptr, Ptr, I16, I16, I32, I32, I32, I16, I16),
                                                                                    Rows<4>, Plane<1, 6, 10>, Plane<2, 7>,
                                                                                             Optional<Plane<3, 8>>>;
// clang-format on

}  // namespace

int32_t InstallRast(const PluginParamBlock *) {
  Install<Suite::rast, Slot<0, Planes>, Slot<1, PlanesValue>, Slot<2, ThreePlanes>, Slot<3, Planes>>();
  return 1;
}

}  // namespace rowfork
