// The resampling suite's split slots as the host's table gives them: per-row
// tables that move with the rows, byte runs divided in chunks, row lengths in
// 4- and 8-byte units.
#pragma once

#include "host/slot_table.h"

namespace lumora::testing {

inline constexpr uint32_t kRsmp = Code("rsmp");

// clang-format off
inline const TableRow kRsmpRows[] = {
    Describe<kRsmp, int32_t(I32, Ptr, I16, I16, I16, I16, Ptr, I32, I16, I16, I32, I32), 0>(3).Plane(2, {10}).Scaled(7, 2),
    Describe<kRsmp, int32_t(I32, Ptr, I16, I16, I16, I16, I16, I16, Ptr, I32, I16, I16, I32, I32), 1>(3).Plane(2, {12}).Scaled(9, 2),
    Describe<kRsmp, int32_t(Ptr, Ptr, I16, I16, I32, I16, I16, I32), 2>(3).Plane(1, {6}).Plane(2, {7}),
    Describe<kRsmp, int32_t(Ptr, Ptr, I16, I16, I32, I16, I16, I32), 3>(4).InMultiples(4).Scaled(1, 1).Scaled(2, 1),
    Describe<kRsmp, int32_t(Ptr, Ptr, I16, I16, I32, I32, I16, I16, I32), 6>(3).Plane(1, {7}).Plane(2, {8}),
    Describe<kRsmp, int32_t(Ptr, Ptr, I16, I16, I32, I32, I16, I16, I32), 7>(4).Scaled(1, 1).Scaled(2, 1),
    Describe<kRsmp, int32_t(Ptr, Ptr, I16, I16, I16, Ptr, Ptr, I32, I32, U8), 8>(3).Plane(1, {8}).Plane(2, {9}).Scaled(6, 4).Scaled(7, 4),
    Describe<kRsmp, int32_t(Ptr, Ptr, I16, I16, I16, Ptr, I32, I32, U8), 9>(3).Plane(1, {7}).Plane(2, {8}).Scaled(6, 32),
    Describe<kRsmp, int32_t(Ptr, Ptr, Ptr, I16, I16, I32, I32, I32, I32, I16, I16, I16), 10, 12>(4).Scaled(1, 4, {5}).Plane(2, {6}).Plane(3, {8}),
    Describe<kRsmp, int32_t(Ptr, I32, Ptr, I16, I16, I32, I32, I32, I32, I16, I16, I16, I16, I16), 11, 13>(4).Scaled(1, 8, {5}).Plane(3, {8}),
};
// clang-format on

}  // namespace lumora::testing
