// The memory suite's split slots as the host's table gives them: results
// combined over the slices, row coordinates counted from each slice's first row.
#pragma once

#include "host/slot_table.h"

namespace lumora::testing {

inline constexpr uint32_t kMemo = Code("memo");

// clang-format off
inline const TableRow kMemoRows[] = {
    Row<kMemo, Slots<2>,      int32_t(Ptr, Ptr, I16, I16, I16, I16, I32, I32)>()          .Rows(3).Plane(1, 7).Plane(2, 8),
    Row<kMemo, Slots<6, 9>,   int32_t(Ptr, I16, I16, I16, I32)>()                         .Rows(2).Plane(1, 5),
    Row<kMemo, Slots<13, 14>, int32_t(Ptr, Ptr, I16, I16, I16, I32, I32)>()               .Rows(3).Plane(1, 6).Plane(2, 7),
    Row<kMemo, Slots<21>,     int32_t(Ptr, Ptr, I16, I16, I32, I32)>()                    .Rows(3).Plane(1, 5).Plane(2, 6).AllResultsNonZero(),
    Row<kMemo, Slots<27, 28, 48, 49, 50>,
                              int32_t(Ptr, I16, I16, I16, I16, I16, I16, I32, I32, U8)>() .Rows(6).Plane(1, 8).OriginBack(2).OriginBack(4),
    Row<kMemo, Slots<32>,     int32_t(Ptr, I16, I16, I16)>()                              .Rows(2).Plane(1, 4).SumOfResults(),
    Row<kMemo, Slots<33>,     int32_t(Ptr, I16, I16, I16, I16)>()                         .Rows(2).Plane(1, 4).SumOfResults(),
    Row<kMemo, Slots<34>,     int32_t(Ptr, I16, I16, I16, I32)>()                         .Rows(2).Plane(1, 4).SumOfResults(),
    Row<kMemo, Slots<35>,     int32_t(Ptr, I16, I16, I32, I32)>()                         .Rows(2).Plane(1, 5).SumOfResults(),
};
// clang-format on

}  // namespace lumora::testing
