// The display suite's split slots as the host's table gives them: rows per
// slice cut to a multiple of a stride argument, a 32-bit element count, row
// origins, and strides times a factor (taken twice by slots 28 and 29).
#pragma once

#include "host/slot_table.h"

namespace lumora::testing {

inline constexpr uint32_t kDisp = Code("disp");

// clang-format off
inline const TableRow kDispRows[] = {
    Row<kDisp, Slots<4>,        int32_t(Ptr, Ptr, I16, I16, I32, I16, I16)>()           .AlignedRows(3, 5).Plane(1, 5).Plane(2, 7).UnsplitWhenArgIs(6, 1),
    Row<kDisp, Slots<7>,        int32_t(Ptr, Ptr, I16, I16, I32, I16, I16)>()           .AlignedRows(3, 5).Plane(1, 5).Plane(2, 7),
    Row<kDisp, Slots<8, 9, 10>, int32_t(Ptr, Ptr, I16, I16, I32, I16)>()                .AlignedRows(3, 5).Plane(1, 5).ScaledPlane(2, 4, 4),
    Row<kDisp, Slots<11>,       int32_t(Ptr, Ptr, Ptr, Ptr, I16, I16, I32, I16)>()      .AlignedRows(5, 7).Plane(1, 7).Plane(2, 7).Plane(3, 7).ScaledPlane(4, 4, 6),
    Row<kDisp, Slots<12>,       int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I32, I16)>() .AlignedRows(6, 8).Plane(1, 8).Plane(2, 8).Plane(3, 8).Plane(4, 8).ScaledPlane(5, 4, 7),
    Row<kDisp, Slots<23>,       int32_t(Ptr, I32, I32)>()                               .Rows(2).Run(1, 4),
    Row<kDisp, Slots<24, 25>,   int32_t(Ptr, I16, I16, I16, I16, I16, I32, I32)>()      .Rows(2).ScaledPlane(1, 4, 3).Origin(4),
    Row<kDisp, Slots<27>,       int32_t(Ptr, Ptr, I16, I16, I16, I16, I16)>()           .Rows(3).Plane(1, 5).Plane(2, 6, 7),
    Row<kDisp, Slots<28, 29>,   int32_t(Ptr, Ptr, I16, I16, I16)>()                     .Rows(3).ScaledPlane(1, 4, 4).ScaledPlane(2, 4, 4, 5, 5),
};
// clang-format on

}  // namespace lumora::testing
