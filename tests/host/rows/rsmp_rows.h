// The resampling suite's split slots as the host's table gives them (slot 4,
// whose tables the module fills itself, apart): per-row tables that move with
// the rows, byte runs divided in chunks, row lengths in 4- and 8-byte units.
#pragma once

#include "host/slot_table.h"

namespace lumora::testing {

inline constexpr uint32_t kRsmp = Code("rsmp");

// clang-format off
inline const TableRow kRsmpRows[] = {
    Row<kRsmp, Slots<0>,      int32_t(I32, Ptr, I16, I16, I16, I16, Ptr, I32, I16, I16, I32, I32)>()   .Rows(3).Plane(2, 10).Run(7, 2),
    Row<kRsmp, Slots<1>,      int32_t(I32, Ptr, I16, I16, I16, I16, I16, I16, Ptr, I32, I16, I16, I32, I32)>() .Rows(3).Plane(2, 12).Run(9, 2),
    Row<kRsmp, Slots<2>,      int32_t(Ptr, Ptr, I16, I16, I32, I16, I16, I32)>()                       .Rows(3).Plane(1, 6).Plane(2, 7),
    Row<kRsmp, Slots<3>,      int32_t(Ptr, Ptr, I16, I16, I32, I16, I16, I32)>()                       .InMultiples(4, 4).Run(1, 1).Run(2, 1),
    Row<kRsmp, Slots<6>,      int32_t(Ptr, Ptr, I16, I16, I32, I32, I16, I16, I32)>()                  .Rows(3).Plane(1, 7).Plane(2, 8),
    Row<kRsmp, Slots<7>,      int32_t(Ptr, Ptr, I16, I16, I32, I32, I16, I16, I32)>()                  .Rows(4).Run(1, 1).Run(2, 1),
    Row<kRsmp, Slots<8>,      int32_t(Ptr, Ptr, I16, I16, I16, Ptr, Ptr, I32, I32, U8)>()              .Rows(3).Plane(1, 8).Plane(2, 9).Run(6, 4).Run(7, 4),
    Row<kRsmp, Slots<9>,      int32_t(Ptr, Ptr, I16, I16, I16, Ptr, I32, I32, U8)>()                   .Rows(3).Plane(1, 7).Plane(2, 8).Run(6, 32),
    Row<kRsmp, Slots<10, 12>, int32_t(Ptr, Ptr, Ptr, I16, I16, I32, I32, I32, I32, I16, I16, I16)>()   .Rows(4).ScaledPlane(1, 4, 5).Plane(2, 6).Plane(3, 8),
    Row<kRsmp, Slots<11, 13>, int32_t(Ptr, I32, Ptr, I16, I16, I32, I32, I32, I32, I16, I16, I16, I16, I16)>() .Rows(4).ScaledPlane(1, 8, 5).Plane(3, 8),
};
// clang-format on

}  // namespace lumora::testing
