// The painting suite's split slots as the host's table gives them: where
// there is an origin it stands two places before the row count, and every
// plane of a routine is at its one stride.
#pragma once

#include "host/slot_table.h"

namespace lumora::testing {

inline constexpr uint32_t kPntg = Code("pntg");

inline const TableRow kPntgRows[] = {
    Describe<kPntg, int32_t(Ptr, Ptr, I16, I16, I16, I16), 1, 2>(3).Planes({1, 2}, 5),
    Describe<kPntg, int32_t(I16, I16, I16, I16, I16, Ptr, I16, I16), 6, 7>(4).Origin(2).Planes({6}, 7),
    Describe<kPntg, int32_t(I16, I16, I16, I16, I16, Ptr, I16, I16, I16), 12>(4).Origin(2).Planes({6}, 7),
    Describe<kPntg, int32_t(I16, I16, I16, I16, I16, Ptr, I16), 13, 14>(4).Origin(2).Planes({6}, 7),
    Describe<kPntg, int32_t(I16, I16, I16, I16, I16, I16, Ptr, I16, I16), 9, 11, 15>(5).Origin(3).Planes({7},
                                                                                                         8),
    Describe<kPntg, int32_t(I16, I16, I16, I16, I16, I16, Ptr, I16, I16, I16), 10>(5).Origin(3).Planes({7},
                                                                                                       9),
    Describe<kPntg, int32_t(I16, I16, I16, I16, I16, I16, Ptr, I16), 19, 40>(5).Origin(3).Planes({7}, 8),
    Describe<kPntg, int32_t(I16, I16, I16, I16, I16, I16, I16, I16), 20>(6).Origin(4),
    Describe<kPntg, int32_t(I16, I16, I16, I16, I16, I16, I16), 42, 45>(6).Origin(4),
    Describe<kPntg, int32_t(I16, I16, I16, I16, I16, I16, I16), 41>(5).Origin(3),
    Describe<kPntg, int32_t(I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, I16), 21, 32, 34>(4).Origin(2).Planes(
        {6, 7, 8}, 9),
    Describe<kPntg, int32_t(I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, I16, I16, I16, I16), 28>(4)
        .Origin(2)
        .Planes({6, 7, 8}, 9),
    Describe<kPntg, int32_t(I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16), 30>(4)
        .Origin(2)
        .Planes({6, 7, 8}, 9),
    Describe<kPntg, int32_t(I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, Ptr, I16), 22, 33, 35>(4)
        .Origin(2)
        .Planes({6, 7, 8, 9}, 10),
    Describe<kPntg, int32_t(I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16), 29>(4)
        .Origin(2)
        .Planes({6, 7, 8, 9}, 10),
    Describe<kPntg, int32_t(I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, I16), 31>(4)
        .Origin(2)
        .Planes({6, 7, 8, 9}, 10),
    Describe<kPntg, int32_t(I16, I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, I16), 36>(5).Origin(3).Planes(
        {7, 8, 9}, 10),
    Describe<kPntg, int32_t(I16, I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, I16, I16), 38>(5).Origin(3).Planes(
        {7, 8, 9}, 10),
    Describe<kPntg, int32_t(I16, I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, I16, I16, I16, I16), 26>(5)
        .Origin(3)
        .Planes({7, 8, 9}, 10),
    Describe<kPntg, int32_t(I16, I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, Ptr, I16), 37>(5).Origin(3).Planes(
        {7, 8, 9, 10}, 11),
    Describe<kPntg, int32_t(I16, I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, Ptr, I16, I16), 39>(5)
        .Origin(3)
        .Planes({7, 8, 9, 10}, 11),
    Describe<kPntg, int32_t(I16, I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16), 27>(5)
        .Origin(3)
        .Planes({7, 8, 9, 10}, 11),
};

}  // namespace lumora::testing
