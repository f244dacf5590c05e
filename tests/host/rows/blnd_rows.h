// The blending suite's split slots as the host's table gives them: up to
// seven planes sharing strides, optional planes, planes of 16-bit elements, a
// 32-bit row count, and the record routines, which take one parameter record.
#pragma once

#include "host/slot_table.h"

namespace lumora::testing {

inline constexpr uint32_t kBlnd = Code("blnd");

// clang-format off
inline const TableRow kBlndRows[] = {
    Row<kBlnd, Slots<1>,              int32_t(Ptr, I16, I16, I16, I16)>()                                      .Rows(2).Plane(1, 4),
    Row<kBlnd, Slots<2, 7, 10, 22, 25, 30, 47, 50, 65, 66, 67, 68, 72, 73, 74, 75, 76, 115>,
                                      int32_t(Ptr, Ptr, Ptr, I16, I16, I16, I16, I16)>()                       .Rows(4).Plane(1, 6).Plane(2, 7).Plane(3, 8),
    Row<kBlnd, Slots<3, 8, 11, 23, 26, 31, 48, 51, 69>,
                                      int32_t(I16, Ptr, Ptr, I16, I16, I16, I16)>()                            .Rows(4).Plane(2, 6).Plane(3, 7),
    Row<kBlnd, Slots<4, 14, 17, 20>,  int32_t(I16, I16, I16, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16)>()        .Rows(8).Plane(4, 10).Plane(5, 10).Plane(6, 10).Plane(7, 11),
    Row<kBlnd, Slots<5>,              int32_t(I16, I16, I16, I16, Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16)>() .Rows(10).Plane(5, 12).Plane(6, 12).Plane(7, 12).Plane(8, 12).Plane(9, 13),
    Row<kBlnd, Slots<9, 12>,          int32_t(Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, I16, I16)>()             .Rows(4).Plane(1, 8).Plane(2, 9).Plane(3, 10),
    Row<kBlnd, Slots<13, 16, 19, 45>, int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16)>()   .Rows(8).Plane(1, 10).Plane(2, 10).Plane(3, 10).Plane(4, 11).Plane(5, 11).Plane(6, 11).Plane(7, 12),
    Row<kBlnd, Slots<15, 18, 21>,     int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16)>()             .Rows(7).Plane(1, 9).Plane(2, 9).Plane(3, 9).Plane(4, 10).Plane(5, 10).Plane(6, 10),
    Row<kBlnd, Slots<24, 27, 28, 29, 33, 34, 35, 36, 41, 49, 52, 53, 54, 62, 64, 70, 95, 96>,
                                      int32_t(Ptr, Ptr, I16, I16, I16, I16)>()                                 .Rows(3).Plane(1, 5).Plane(2, 6),
    Row<kBlnd, Slots<32>,             int32_t(Ptr, I16, I16, I16, I16, I16)>()                                 .Rows(4).Plane(1, 6),
    Row<kBlnd, Slots<37, 46>,         int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16)>()             .Rows(6).Plane(1, 8).Plane(2, 8).Plane(3, 9).Plane(4, 9).Plane(5, 10),
    Row<kBlnd, Slots<38>,             int32_t(I16, I16, Ptr, Ptr, Ptr, I16, I16, I16, I16)>()                  .Rows(6).Plane(3, 8).Plane(4, 8).Plane(5, 9),
    Row<kBlnd, Slots<39>,             int32_t(Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16)>()                       .Rows(5).Plane(1, 7).Plane(2, 7).Plane(3, 8).Plane(4, 8),
    Row<kBlnd, Slots<40, 56, 57, 58, 59, 71, 106>,
                                      int32_t(Ptr, Ptr, I16, I16, I16, I16, U8)>()                             .Rows(3).Plane(1, 5).Plane(2, 6),
    Row<kBlnd, Slots<42, 43>,         int32_t(Ptr, Ptr, I16, I16, I16, I16, I16, I16)>()                       .Rows(3).Plane(1, 5).Plane(2, 6),
    Row<kBlnd, Slots<55>,             int32_t(Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, U8)>()                   .Rows(4).Plane(1, 6).Plane(2, 7).Plane(3, 8),
    Row<kBlnd, Slots<60, 61>,         int32_t(Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16)>()                       .Rows(5).Plane(1, 7).Plane(2, 7).Plane(3, 7).Plane(4, 8),
    Row<kBlnd, Slots<63>,             int32_t(Ptr, Ptr, Ptr, I16, I16, I16, I16)>()                            .Rows(4).Plane(1, 6).Plane(2, 6).Plane(3, 7),
    Row<kBlnd, Slots<97>,             int32_t(Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, U8, U8, U8)>()           .Rows(4).Plane(1, 6).Plane(2, 7).Plane(3, 8),
    Row<kBlnd, Slots<98>,             int32_t(Ptr, Ptr, I16, I16, I16, I16, I32, I32, I16)>()                  .Rows(3).Plane(1, 5).Plane(2, 6),
    Row<kBlnd, Slots<99>,             int32_t(Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I32, I32, I16)>()        .Rows(5).Plane(1, 7).Plane(2, 7).Plane(3, 7).Plane(4, 8),
    Row<kBlnd, Slots<100>,            int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I32, I32, I16)>()   .Rows(6).Plane(1, 8).Plane(2, 8).Plane(3, 8).Optional(Plane(4, 8)).Plane(5, 9),
    Row<kBlnd, Slots<102>,            int32_t(Ptr, Ptr, I16, I16, I32, I32, I32, I32, U8)>()                   .Rows(3).Plane(1, 5).Plane(2, 6),
    Row<kBlnd, Slots<103, 104, 105>,  int32_t(Ptr, Ptr, I16, I16, I32, I32, I32, I32)>()                       .Rows(3).Plane(1, 5).Plane(2, 6),
    Row<kBlnd, Slots<107>,            int32_t(Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, I32, I32, I16)>()        .Rows(4).Plane(1, 6).Plane(2, 7).Optional(Plane(3, 8)),
    Row<kBlnd, Slots<108>,            int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, I32, I32, I16)>() .Rows(6).Plane(1, 8).Plane(2, 8).Plane(3, 8).Plane(4, 9).Optional(Plane(5, 10)),
    Row<kBlnd, Slots<109>,            int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, I32, I32, I16)>() .Rows(7).Plane(1, 9).Plane(2, 9).Plane(3, 9).Optional(Plane(4, 9)).Plane(5, 10).Optional(Plane(6, 11)),
    Row<kBlnd, Slots<114>,            int32_t(Ptr, Ptr, Ptr, I32, I32, I32, I32, I32)>()                       .Rows(4).EvenPlane(1, 6).EvenPlane(2, 7).Plane(3, 8),
};
// clang-format on

// The record routines: one pointer to a BlendRecord or to a BlendRecord16
// (whose first two planes hold 16-bit elements).
inline constexpr int kBlndRecordSlots[] = {77, 78, 79, 80, 81, 82, 83, 84,  85,  86, 87,
                                           88, 89, 90, 91, 92, 93, 94, 110, 111, 112};
inline constexpr int kBlndRecord16Slots[] = {116, 117, 118, 119, 120, 121, 122, 123};

}  // namespace lumora::testing
