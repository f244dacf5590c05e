// The painting suite's split slots as the host's table gives them: where
// there is an origin it stands two places before the row count, and every
// plane of a routine is at its one stride.
#pragma once

#include "host/slot_table.h"

namespace lumora::testing {

inline constexpr uint32_t kPntg = Code("pntg");

// clang-format off
inline const TableRow kPntgRows[] = {
    Row<kPntg, Slots<1, 2>,       int32_t(Ptr, Ptr, I16, I16, I16, I16)>()                                 .Rows(3).Plane(1, 5).Plane(2, 5),
    Row<kPntg, Slots<6, 7>,       int32_t(I16, I16, I16, I16, I16, Ptr, I16, I16)>()                       .Rows(4).Origin(2).Plane(6, 7),
    Row<kPntg, Slots<9, 11, 15>,  int32_t(I16, I16, I16, I16, I16, I16, Ptr, I16, I16)>()                  .Rows(5).Origin(3).Plane(7, 8),
    Row<kPntg, Slots<10>,         int32_t(I16, I16, I16, I16, I16, I16, Ptr, I16, I16, I16)>()             .Rows(5).Origin(3).Plane(7, 9),
    Row<kPntg, Slots<12>,         int32_t(I16, I16, I16, I16, I16, Ptr, I16, I16, I16)>()                  .Rows(4).Origin(2).Plane(6, 7),
    Row<kPntg, Slots<13, 14>,     int32_t(I16, I16, I16, I16, I16, Ptr, I16)>()                            .Rows(4).Origin(2).Plane(6, 7),
    Row<kPntg, Slots<19, 40>,     int32_t(I16, I16, I16, I16, I16, I16, Ptr, I16)>()                       .Rows(5).Origin(3).Plane(7, 8),
    Row<kPntg, Slots<20>,         int32_t(I16, I16, I16, I16, I16, I16, I16, I16)>()                       .Rows(6).Origin(4),
    Row<kPntg, Slots<21, 32, 34>, int32_t(I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, I16)>()                  .Rows(4).Origin(2).Plane(6, 9).Plane(7, 9).Plane(8, 9),
    Row<kPntg, Slots<22, 33, 35>, int32_t(I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, Ptr, I16)>()             .Rows(4).Origin(2).Plane(6, 10).Plane(7, 10).Plane(8, 10).Plane(9, 10),
    Row<kPntg, Slots<26>,         int32_t(I16, I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, I16, I16, I16, I16)>() .Rows(5).Origin(3).Plane(7, 10).Plane(8, 10).Plane(9, 10),
    Row<kPntg, Slots<27>,         int32_t(I16, I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16)>() .Rows(5).Origin(3).Plane(7, 11).Plane(8, 11).Plane(9, 11).Plane(10, 11),
    Row<kPntg, Slots<28>,         int32_t(I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, I16, I16, I16, I16)>()   .Rows(4).Origin(2).Plane(6, 9).Plane(7, 9).Plane(8, 9),
    Row<kPntg, Slots<29>,         int32_t(I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16)>() .Rows(4).Origin(2).Plane(6, 10).Plane(7, 10).Plane(8, 10).Plane(9, 10),
    Row<kPntg, Slots<30>,         int32_t(I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16)>() .Rows(4).Origin(2).Plane(6, 9).Plane(7, 9).Plane(8, 9),
    Row<kPntg, Slots<31>,         int32_t(I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, I16)>() .Rows(4).Origin(2).Plane(6, 10).Plane(7, 10).Plane(8, 10).Plane(9, 10),
    Row<kPntg, Slots<36>,         int32_t(I16, I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, I16)>()             .Rows(5).Origin(3).Plane(7, 10).Plane(8, 10).Plane(9, 10),
    Row<kPntg, Slots<37>,         int32_t(I16, I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, Ptr, I16)>()        .Rows(5).Origin(3).Plane(7, 11).Plane(8, 11).Plane(9, 11).Plane(10, 11),
    Row<kPntg, Slots<38>,         int32_t(I16, I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, I16, I16)>()        .Rows(5).Origin(3).Plane(7, 10).Plane(8, 10).Plane(9, 10),
    Row<kPntg, Slots<39>,         int32_t(I16, I16, I16, I16, I16, I16, Ptr, Ptr, Ptr, Ptr, I16, I16)>()   .Rows(5).Origin(3).Plane(7, 11).Plane(8, 11).Plane(9, 11).Plane(10, 11),
    Row<kPntg, Slots<41>,         int32_t(I16, I16, I16, I16, I16, I16, I16)>()                            .Rows(5).Origin(3),
    Row<kPntg, Slots<42, 45>,     int32_t(I16, I16, I16, I16, I16, I16, I16)>()                            .Rows(6).Origin(4),
};
// clang-format on

}  // namespace lumora::testing
