// The display suite's split slots as the host's table gives them: rows per
// slice cut to a multiple of a stride argument, a 32-bit element count, row
// origins, and strides times a factor.
#pragma once

#include "host/slot_table.h"

namespace lumora::testing {

inline constexpr uint32_t kDisp = Code("disp");

// clang-format off
inline const TableRow kDispRows[] = {
    Describe<kDisp, int32_t(Ptr, Ptr, I16, I16, I32, I16, I16), 4, 7>(3).AlignedTo(5).Plane(1, {5}).Plane(2, {7}),
    Describe<kDisp, int32_t(Ptr, Ptr, I16, I16, I32, I16), 8, 9, 10>(3).AlignedTo(5).Plane(1, {5}).Scaled(2, 4, {4}),
    Describe<kDisp, int32_t(Ptr, Ptr, Ptr, Ptr, I16, I16, I32, I16), 11>(5).AlignedTo(7).Planes({1, 2, 3}, 7).Scaled(4, 4, {6}),
    Describe<kDisp, int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I32, I16), 12>(6).AlignedTo(8).Planes({1, 2, 3, 4}, 8).Scaled(5, 4, {7}),
    Describe<kDisp, int32_t(Ptr, I32, I32), 23>(2).Scaled(1, 4),
    Describe<kDisp, int32_t(Ptr, I16, I16, I16, I16, I16, I32, I32), 24, 25>(2).Scaled(1, 4, {3}).Origin(4),
    Describe<kDisp, int32_t(Ptr, Ptr, I16, I16, I16, I16, I16), 27>(3).Plane(1, {5}).Plane(2, {6, 7}),
    Describe<kDisp, int32_t(Ptr, Ptr, I16, I16, I16), 28, 29>(3).Scaled(1, 4, {4}).Scaled(2, 4, {4, 5, 5}),
};
// clang-format on

}  // namespace lumora::testing
