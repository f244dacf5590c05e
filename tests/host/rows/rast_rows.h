// The raster suite's split slots as the host's table gives them: the first
// plane moves by its stride times the factor.
#pragma once

#include "host/slot_table.h"

namespace lumora::testing {

inline constexpr uint32_t kRast = Code("rast");

inline const TableRow kRastRows[] = {
    Describe<kRast, int32_t(Ptr, Ptr, I16, I16, I32, I32, I16, I16), 0, 3>(3).Plane(1, {5, 8}).Plane(2, {6}),
    Describe<kRast, int32_t(Ptr, Ptr, I16, I16, I32, I32, I16, I16, I32), 1>(3).Plane(1, {5, 8}).Plane(2,
                                                                                                       {6}),
    Describe<kRast, int32_t(Ptr, Ptr, Ptr, I16, I16, I32, I32, I32, I16, I16), 2>(4)
        .Plane(1, {6, 10})
        .Plane(2, {7})
        .OptionalPlane(3, {8}),
};

}  // namespace lumora::testing
