// The selection suite's row-split slots as the host's table gives them (the
// histogram pair and the byte run apart).
#pragma once

#include "host/slot_table.h"

namespace lumora::testing {

inline constexpr uint32_t kSele = Code("sele");

// clang-format off
inline const TableRow kSeleRows[] = {
    Describe<kSele, int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16), 13>(6).Planes({1, 2, 3, 4}, 8).Plane(5, {9}),
    Describe<kSele, int32_t(Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16), 14, 15, 47, 48>(5).Planes({1, 2, 3}, 7).Plane(4, {8}),
    Describe<kSele, int32_t(Ptr, Ptr, Ptr, I16, I16, I16, I16), 16, 17>(4).Planes({1, 2}, 6).Plane(3, {7}),
    Describe<kSele, int32_t(Ptr, Ptr, I16, I16, I16, I16), 18>(3).Plane(1, {5}).Plane(2, {6}),
    Describe<kSele, int32_t(Ptr, Ptr, I16, I16, I16, I16, I16), 21>(4).Plane(1, {6}).Plane(2, {7}),
    Describe<kSele, int32_t(Ptr, I16, I16, I32), 27>(2).Plane(1, {4}),
    Describe<kSele, int32_t(Ptr, I16, I16, I16, I16, I16), 32>(2).Plane(1, {4}),
    Describe<kSele, int32_t(Ptr, Ptr, I16, I16, I32, I32, U8), 35>(3).Planes({1, 2}, 5),
    Describe<kSele, int32_t(Ptr, Ptr, I16, I16, I16, I16, U8), 41, 43>(3).Plane(1, {5}).Plane(2, {6}),
    Describe<kSele, int32_t(Ptr, Ptr, I16, I16, I16, I16, I32, I32, U8, U8, I16), 46>(3).Plane(1, {7}).Plane(2, {8, 11}),
    Describe<kSele, int32_t(Ptr, Ptr, Ptr, Ptr, I32, I32, I32, I16, I16, I32, I32), 49>(8).Planes({1, 2, 3}, 10).Plane(4, {11}),
};
// clang-format on

}  // namespace lumora::testing
