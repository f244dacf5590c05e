// The raster suite's split slots as the host's table gives them: the first
// plane moves by its stride times the factor; slot 2's third plane may be null.
#pragma once

#include "host/slot_table.h"

namespace lumora::testing {

inline constexpr uint32_t kRast = Code("rast");

// clang-format off
inline const TableRow kRastRows[] = {
    Row<kRast, Slots<0, 3>, int32_t(Ptr, Ptr, I16, I16, I32, I32, I16, I16)>()           .Rows(3).Plane(1, 5, 8).Plane(2, 6),
    Row<kRast, Slots<1>,    int32_t(Ptr, Ptr, I16, I16, I32, I32, I16, I16, I32)>()      .Rows(3).Plane(1, 5, 8).Plane(2, 6),
    Row<kRast, Slots<2>,    int32_t(Ptr, Ptr, Ptr, I16, I16, I32, I32, I32, I16, I16)>() .Rows(4).Plane(1, 6, 10).Plane(2, 7).Optional(Plane(3, 8)),
};
// clang-format on

}  // namespace lumora::testing
