// The raster suite: all four slots split by rows. The first plane moves by its
// stride times a factor argument; slot 2's third plane may be null.
#include "suites/install.h"
#include "suites/installers.h"

namespace rowfork {

int32_t InstallRast(const PluginParamBlock *) {
  // clang-format off
  Install<Suite::rast,
      Row<Slots<0, 3>, int32_t(Ptr, Ptr, I16, I16, I32, I32, I16, I16),            Rows<3>, Plane<1, 5, 8>, Plane<2, 6>>,
      Row<Slots<1>,    int32_t(Ptr, Ptr, I16, I16, I32, I32, I16, I16, I32),       Rows<3>, Plane<1, 5, 8>, Plane<2, 6>>,
      Row<Slots<2>,    int32_t(Ptr, Ptr, Ptr, I16, I16, I32, I32, I32, I16, I16), Rows<4>, Plane<1, 6, 10>, Plane<2, 7>,
                                                                                            Optional<Plane<3, 8>>>>();
  // clang-format on
  return 1;
}

}  // namespace rowfork
