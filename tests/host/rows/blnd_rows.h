// The blending suite's row-split slots as the host's table gives them (the
// record routines apart): up to seven planes sharing strides, optional planes,
// planes of 16-bit elements and a 32-bit row count.
#pragma once

#include "host/slot_table.h"

namespace lumora::testing {

inline constexpr uint32_t kBlnd = Code("blnd");

inline const TableRow kBlndRows[] = {
    Describe<kBlnd, int32_t(Ptr, I16, I16, I16, I16), 1>(2).Plane(1, {4}),
    Describe<kBlnd, int32_t(Ptr, Ptr, Ptr, I16, I16, I16, I16, I16), 2, 7, 10, 22, 25, 30, 47, 50, 65, 66, 67,
             68, 72, 73, 74, 75, 76, 115>(4)
        .Plane(1, {6})
        .Plane(2, {7})
        .Plane(3, {8}),
    Describe<kBlnd, int32_t(I16, Ptr, Ptr, I16, I16, I16, I16), 3, 8, 11, 23, 26, 31, 48, 51, 69>(4)
        .Plane(2, {6})
        .Plane(3, {7}),
    Describe<kBlnd, int32_t(I16, I16, I16, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16), 4, 14, 17, 20>(8)
        .Planes({4, 5, 6}, 10)
        .Plane(7, {11}),
    Describe<kBlnd, int32_t(I16, I16, I16, I16, Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16), 5>(10)
        .Planes({5, 6, 7, 8}, 12)
        .Plane(9, {13}),
    Describe<kBlnd, int32_t(Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, I16, I16), 9, 12>(4)
        .Plane(1, {8})
        .Plane(2, {9})
        .Plane(3, {10}),
    Describe<kBlnd, int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16), 13, 16, 19, 45>(8)
        .Planes({1, 2, 3}, 10)
        .Planes({4, 5, 6}, 11)
        .Plane(7, {12}),
    Describe<kBlnd, int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16), 15, 18, 21>(7)
        .Planes({1, 2, 3}, 9)
        .Planes({4, 5, 6}, 10),
    Describe<kBlnd, int32_t(Ptr, Ptr, I16, I16, I16, I16), 24, 27, 28, 29, 33, 34, 35, 36, 41, 49, 52, 53, 54,
             62, 64, 70, 95, 96>(3)
        .Plane(1, {5})
        .Plane(2, {6}),
    Describe<kBlnd, int32_t(Ptr, I16, I16, I16, I16, I16), 32>(4).Plane(1, {6}),
    Describe<kBlnd, int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16), 37, 46>(6)
        .Planes({1, 2}, 8)
        .Planes({3, 4}, 9)
        .Plane(5, {10}),
    Describe<kBlnd, int32_t(I16, I16, Ptr, Ptr, Ptr, I16, I16, I16, I16), 38>(6).Planes({3, 4}, 8).Plane(5,
                                                                                                         {9}),
    Describe<kBlnd, int32_t(Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16), 39>(5).Planes({1, 2}, 7).Planes({3, 4},
                                                                                                     8),
    Describe<kBlnd, int32_t(Ptr, Ptr, I16, I16, I16, I16, U8), 40, 56, 57, 58, 59, 71, 106>(3)
        .Plane(1, {5})
        .Plane(2, {6}),
    Describe<kBlnd, int32_t(Ptr, Ptr, I16, I16, I16, I16, I16, I16), 42, 43>(3).Plane(1, {5}).Plane(2, {6}),
    Describe<kBlnd, int32_t(Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, U8), 55>(4)
        .Plane(1, {6})
        .Plane(2, {7})
        .Plane(3, {8}),
    Describe<kBlnd, int32_t(Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16), 60, 61>(5)
        .Planes({1, 2, 3}, 7)
        .Plane(4, {8}),
    Describe<kBlnd, int32_t(Ptr, Ptr, Ptr, I16, I16, I16, I16), 63>(4).Planes({1, 2}, 6).Plane(3, {7}),
    Describe<kBlnd, int32_t(Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, U8, U8, U8), 97>(4)
        .Plane(1, {6})
        .Plane(2, {7})
        .Plane(3, {8}),
    Describe<kBlnd, int32_t(Ptr, Ptr, I16, I16, I16, I16, I32, I32, I16), 98>(3).Plane(1, {5}).Plane(2, {6}),
    Describe<kBlnd, int32_t(Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I32, I32, I16), 99>(5)
        .Planes({1, 2, 3}, 7)
        .Plane(4, {8}),
    Describe<kBlnd, int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I32, I32, I16), 100>(6)
        .Planes({1, 2, 3}, 8)
        .OptionalPlane(4, {8})
        .Plane(5, {9}),
    Describe<kBlnd, int32_t(Ptr, Ptr, I16, I16, I32, I32, I32, I32, U8), 102>(3).Plane(1, {5}).Plane(2, {6}),
    Describe<kBlnd, int32_t(Ptr, Ptr, I16, I16, I32, I32, I32, I32), 103, 104, 105>(3).Plane(1, {5}).Plane(
        2, {6}),
    Describe<kBlnd, int32_t(Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, I32, I32, I16), 107>(4)
        .Plane(1, {6})
        .Plane(2, {7})
        .OptionalPlane(3, {8}),
    Describe<kBlnd, int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, I32, I32, I16), 108>(6)
        .Planes({1, 2, 3}, 8)
        .Plane(4, {9})
        .OptionalPlane(5, {10}),
    Describe<kBlnd, int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, I32, I32, I16), 109>(7)
        .Planes({1, 2, 3}, 9)
        .OptionalPlane(4, {9})
        .Plane(5, {10})
        .OptionalPlane(6, {11}),
    Describe<kBlnd, int32_t(Ptr, Ptr, Ptr, I32, I32, I32, I32, I32), 114>(4)
        .HalfPlane(1, 6)
        .HalfPlane(2, 7)
        .Plane(3, {8}),
};

}  // namespace lumora::testing
