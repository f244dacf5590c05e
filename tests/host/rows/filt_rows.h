// The filter suite's split slots as the host's table gives them: planes at
// their own strides, element runs (slots 43, 48 and 49 with unsigned counts),
// row origins, strides times a factor, 32-bit arguments with planes of 16-bit
// elements, and slot 31's scratch buffers. Slot 11 splits like slot 5 once it
// has brought the offset table up to date; slots 0, 38 and 41 do not split
// their own calls.
#pragma once

#include "host/slot_table.h"

namespace lumora::testing {

inline constexpr uint32_t kFilt = Code("filt");

using TwoPlanes = int32_t(Ptr, Ptr, I16, I16, I16, I16);

// clang-format off
inline const TableRow kFiltRows[] = {
    Row<kFilt, Slots<5, 6, 7, 8, 9, 10, 12, 13, 14, 15, 22, 23, 27, 28, 37, 40, 46, 47>,
                                  TwoPlanes>()                                                 .Rows(3).Plane(1, 5).Plane(2, 6),
    Row<kFilt, Slots<19>,         int32_t(Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, I16)>() .Rows(5).Plane(1, 7).Plane(2, 8).Plane(3, 9).Plane(4, 10),
    Row<kFilt, Slots<31>,         int32_t(Ptr, Ptr, I16, I16, I16, I16, I16, Ptr)>()           .Rows(3).Plane(1, 5).Plane(2, 6).SliceScratch(8, 8192).AtMostThreads(4),
    Row<kFilt, Slots<33, 34, 54>, int32_t(Ptr, Ptr, I16, I16, I16, I16, I16)>()                .Rows(3).Plane(1, 5).Plane(2, 6),
    Row<kFilt, Slots<43>,         int32_t(Ptr, U16)>()                                         .Rows(2).Run(1, 1),
    Row<kFilt, Slots<44>,         int32_t(Ptr, I16, I16, I16)>()                               .Rows(2).Run(1, 2),
    Row<kFilt, Slots<48, 49>,     int32_t(Ptr, U16, I16)>()                                    .Rows(2).Run(1, 2),
    Row<kFilt, Slots<45>,         int32_t(Ptr, I16, I16, I16, Ptr, Ptr, I16, I16)>()           .Rows(2).Plane(1, 4).Origin(7),
    Row<kFilt, Slots<50>,         int32_t(Ptr, Ptr, I16, I16, I16, I16, Ptr, Ptr, I16, I16)>() .Rows(3).Plane(1, 5).Plane(2, 6).Origin(9),
    Row<kFilt, Slots<51>,         int32_t(Ptr, Ptr, I16, I16, I16, I16, I16, I16, Ptr)>()      .Rows(5).Plane(1, 7, 3).Plane(2, 7, 4),
    Row<kFilt, Slots<63>,         PlusArgs<int32_t(Ptr, Ptr), 11, I32>>()                      .Rows(3).Plane(1, 4).EvenPlane(2, 5),
    Row<kFilt, Slots<64>,         PlusArgs<int32_t(Ptr, Ptr), 11, I32>>()                      .Rows(3).Run(1, 2).Run(2, 1),
    Row<kFilt, Slots<65>,         PlusArgs<int32_t(Ptr, Ptr), 16, I32>>()                      .Rows(3).Plane(1, 4).EvenPlane(2, 5),
    Row<kFilt, Slots<66>,         PlusArgs<int32_t(Ptr, Ptr), 16, I32>>()                      .Rows(3).Run(1, 2).Run(2, 1),
    Row<kFilt, Slots<71>,         PlusArgs<int32_t(Ptr, Ptr, Ptr), 8, I32>>()                  .Rows(4).EvenPlane(1, 6).Plane(2, 7).Plane(3, 7),
    Row<kFilt, Slots<72>,         PlusArgs<int32_t(Ptr, Ptr, Ptr, Ptr), 8, I32>>()             .Rows(5).EvenPlane(1, 7).Plane(2, 8).Plane(3, 8).Plane(4, 8),
    Row<kFilt, Slots<69>,         PlusArgs<int32_t(Ptr, Ptr), 11, I32>>()                      .Rows(3).Run(1, 2).Run(2, 2),
    Row<kFilt, Slots<70>,         PlusArgs<int32_t(Ptr, Ptr), 16, I32>>()                      .Rows(3).Run(1, 2).Run(2, 2),
};

// Slot 11, which first brings the offset table that slot 0 named up to date
// for its first stride (tested on its own, since its host routine reads that table).
inline const TableRow kFiltOffsetTableRow = Row<kFilt, Slots<11>, TwoPlanes>().Rows(3).Plane(1, 5).Plane(2, 6);
// clang-format on

}  // namespace lumora::testing
