// The memory suite's split slots as the host's table gives them: results
// combined over the slices, row coordinates counted from each slice's first row.
#pragma once

#include "host/slot_table.h"

namespace lumora::testing {

inline constexpr uint32_t kMemo = Code("memo");

inline const TableRow kMemoRows[] = {
    Describe<kMemo, int32_t(Ptr, Ptr, I16, I16, I16, I16, I32, I32), 2>(3).Plane(1, {7}).Plane(2, {8}),
    Describe<kMemo, int32_t(Ptr, I16, I16, I16, I32), 6, 9>(2).Plane(1, {5}),
    Describe<kMemo, int32_t(Ptr, Ptr, I16, I16, I16, I32, I32), 13, 14>(3).Plane(1, {6}).Plane(2, {7}),
    Describe<kMemo, int32_t(Ptr, Ptr, I16, I16, I32, I32), 21>(3).Plane(1, {5}).Plane(2, {6}),
    Describe<kMemo, int32_t(Ptr, I16, I16, I16, I16, I16, I16, I32, I32, U8), 27, 28, 48, 49, 50>(6)
        .Plane(1, {8})
        .OriginBack(2)
        .OriginBack(4),
    Describe<kMemo, int32_t(Ptr, I16, I16, I16), 32>(2).Plane(1, {4}),
    Describe<kMemo, int32_t(Ptr, I16, I16, I16, I16), 33>(2).Plane(1, {4}),
    Describe<kMemo, int32_t(Ptr, I16, I16, I16, I32), 34>(2).Plane(1, {4}),
    Describe<kMemo, int32_t(Ptr, I16, I16, I32, I32), 35>(2).Plane(1, {5}),
};

}  // namespace lumora::testing
