// The selection suite's split slots as the host's table gives them (the
// histogram pair of slots 0 and 2 apart); slot 26 divides a byte run in
// chunks of eight.
#pragma once

#include "host/slot_table.h"

namespace lumora::testing {

inline constexpr uint32_t kSele = Code("sele");

// clang-format off
inline const TableRow kSeleRows[] = {
    Row<kSele, Slots<13>,             int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16)>()           .Rows(6).Plane(1, 8).Plane(2, 8).Plane(3, 8).Plane(4, 8).Plane(5, 9),
    Row<kSele, Slots<14, 15, 47, 48>, int32_t(Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16)>()                .Rows(5).Plane(1, 7).Plane(2, 7).Plane(3, 7).Plane(4, 8),
    Row<kSele, Slots<16, 17>,         int32_t(Ptr, Ptr, Ptr, I16, I16, I16, I16)>()                     .Rows(4).Plane(1, 6).Plane(2, 6).Plane(3, 7),
    Row<kSele, Slots<18>,             int32_t(Ptr, Ptr, I16, I16, I16, I16)>()                          .Rows(3).Plane(1, 5).Plane(2, 6),
    Row<kSele, Slots<21>,             int32_t(Ptr, Ptr, I16, I16, I16, I16, I16)>()                     .Rows(4).Plane(1, 6).Plane(2, 7),
    Row<kSele, Slots<26>,             int32_t(Ptr, I16, I16, I32)>()                                    .InEights(3).Run(1, 1),
    Row<kSele, Slots<27>,             int32_t(Ptr, I16, I16, I32)>()                                    .Rows(2).Plane(1, 4),
    Row<kSele, Slots<32>,             int32_t(Ptr, I16, I16, I16, I16, I16)>()                          .Rows(2).Plane(1, 4),
    Row<kSele, Slots<35>,             int32_t(Ptr, Ptr, I16, I16, I32, I32, U8)>()                      .Rows(3).Plane(1, 5).Plane(2, 5),
    Row<kSele, Slots<41, 43>,         int32_t(Ptr, Ptr, I16, I16, I16, I16, U8)>()                      .Rows(3).Plane(1, 5).Plane(2, 6),
    Row<kSele, Slots<46>,             int32_t(Ptr, Ptr, I16, I16, I16, I16, I32, I32, U8, U8, I16)>()   .Rows(3).Plane(1, 7).Plane(2, 8, 11),
    Row<kSele, Slots<49>,             int32_t(Ptr, Ptr, Ptr, Ptr, I32, I32, I32, I16, I16, I32, I32)>() .Rows(8).Plane(1, 10).Plane(2, 10).Plane(3, 10).Plane(4, 11),
};
// clang-format on

}  // namespace lumora::testing
