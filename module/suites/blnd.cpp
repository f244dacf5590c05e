// The blending suite: 119 slots, every one split by rows. Routines take up to
// seven planes, several of which may share one stride argument; some planes
// may be null (and stay null in every slice); planes of 16-bit elements move
// by their offset rounded down to even bytes; strides are 16 or 32 bits. The
// record routines take a single pointer to a parameter record, which every
// slice gets its own copy of.
//
// Each wrapper reads its slot's saved routine at the call and hands it to the
// splitter of its argument list, so slots with one argument list share one
// splitter and one slice procedure. The host cannot tell such a wrapper from
// one with a splitter of its own, so the slots that could have had one (1, 5,
// 9, 12, 32, 38, 39 and 40) are declared like the rest.
//
// Slot 114's row count is 32 bits and is divided in 32 bits: every slice's
// count and every plane's advance are exact for any positive count.
//
// Slots 0, 6, 44, 101 and 113 keep the host's own routines.
#include <cstddef>

#include "pool/split.h"
#include "suites/install.h"
#include "suites/installers.h"

namespace rowfork {
namespace {

// The parameter record of the byte-plane record routines. Every plane may be
// null; strides are in bytes. Fields the splitter only copies are named by
// their offset.
struct BlndRecord {
  I32 field0;
  I16 rows;
  I16 field6;
  Ptr plane1;
  I32 stride1;
  I32 field16;
  U8 field20;
  Ptr plane2;
  I32 stride2;
  I32 field32;
  Ptr plane3;
  I32 stride3;
  I32 field44;
  U8 field48;
  I32 field52;
  I32 field56;
};

// The parameter record of the 16-bit record routines: planes 1 and 2 hold
// 16-bit elements, plane 3 bytes; strides are in bytes. Offset 20 is a 16-bit
// field here, copied whole.
struct BlndRecord16 {
  I32 field0;
  I16 rows;
  I16 field6;
  Ptr plane1;
  I32 stride1;
  I32 field16;
  I16 field20;
  Ptr plane2;
  I32 stride2;
  I32 field32;
  Ptr plane3;
  I32 stride3;
  I32 field44;
  U8 field48;
};

#if defined(_WIN32) && !defined(_WIN64)
// The offsets both records share.
template <typename R>
constexpr bool HasSharedOffsets() {
  return offsetof(R, rows) == 4 && offsetof(R, field6) == 6 && offsetof(R, plane1) == 8 &&
         offsetof(R, stride1) == 12 && offsetof(R, field16) == 16 && offsetof(R, field20) == 20 &&
         offsetof(R, plane2) == 24 && offsetof(R, stride2) == 28 && offsetof(R, field32) == 32 &&
         offsetof(R, plane3) == 36 && offsetof(R, stride3) == 40 && offsetof(R, field44) == 44 &&
         offsetof(R, field48) == 48;
}
static_assert(HasSharedOffsets<BlndRecord>() && sizeof(BlndRecord) == 60);
static_assert(offsetof(BlndRecord, field52) == 52 && offsetof(BlndRecord, field56) == 56);
static_assert(HasSharedOffsets<BlndRecord16>() && sizeof(BlndRecord16) == 52);
#endif

template <auto P, auto S>
using RecordPlane = Optional<FieldPlane<P, S>>;
template <auto P, auto S>
using RecordEvenPlane = Optional<FieldEvenPlane<P, S>>;

// clang-format off
// One declaration per argument list: the count argument, then how each plane
// moves. The slots that share it stand above it.

// 1
using OnePlane = RowSplit<int32_t(Ptr, I16, I16, I16, I16),
    Rows<2>, Plane<1, 4>>;
// 2, 7, 10, 22, 25, 30, 47, 50, 65-68, 72-76, 115
using ThreePlanes = RowSplit<int32_t(Ptr, Ptr, Ptr, I16, I16, I16, I16, I16),
    Rows<4>, Plane<1, 6>, Plane<2, 7>, Plane<3, 8>>;
// 3, 8, 11, 23, 26, 31, 48, 51, 69
using ValueTwoPlanes = RowSplit<int32_t(I16, Ptr, Ptr, I16, I16, I16, I16),
    Rows<4>, Plane<2, 6>, Plane<3, 7>>;
// 4, 14, 17, 20
using ValuesFourPlanes = RowSplit<int32_t(I16, I16, I16, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16),
    Rows<8>, Plane<4, 10>, Plane<5, 10>, Plane<6, 10>, Plane<7, 11>>;
// 5
using ValuesFivePlanes = RowSplit<int32_t(I16, I16, I16, I16, Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16),
    Rows<10>, Plane<5, 12>, Plane<6, 12>, Plane<7, 12>, Plane<8, 12>, Plane<9, 13>>;
// 9, 12
using ThreePlanesValues = RowSplit<int32_t(Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, I16, I16),
    Rows<4>, Plane<1, 8>, Plane<2, 9>, Plane<3, 10>>;
// 13, 16, 19, 45
using SevenPlanes = RowSplit<int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16),
    Rows<8>, Plane<1, 10>, Plane<2, 10>, Plane<3, 10>,
             Plane<4, 11>, Plane<5, 11>, Plane<6, 11>, Plane<7, 12>>;
// 15, 18, 21
using SixPlanes = RowSplit<int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16),
    Rows<7>, Plane<1, 9>, Plane<2, 9>, Plane<3, 9>, Plane<4, 10>, Plane<5, 10>, Plane<6, 10>>;
// 24, 27-29, 33-36, 41, 49, 52-54, 62, 64, 70, 95, 96
using TwoPlanes = RowSplit<int32_t(Ptr, Ptr, I16, I16, I16, I16),
    Rows<3>, Plane<1, 5>, Plane<2, 6>>;
// 32
using OnePlaneValues = RowSplit<int32_t(Ptr, I16, I16, I16, I16, I16),
    Rows<4>, Plane<1, 6>>;
// 37, 46
using FivePlanes = RowSplit<int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16),
    Rows<6>, Plane<1, 8>, Plane<2, 8>, Plane<3, 9>, Plane<4, 9>, Plane<5, 10>>;
// 38
using ValuesThreePlanes = RowSplit<int32_t(I16, I16, Ptr, Ptr, Ptr, I16, I16, I16, I16),
    Rows<6>, Plane<3, 8>, Plane<4, 8>, Plane<5, 9>>;
// 39
using FourPlanesInPairs = RowSplit<int32_t(Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16),
    Rows<5>, Plane<1, 7>, Plane<2, 7>, Plane<3, 8>, Plane<4, 8>>;
// 40, 56-59, 71, 106
using TwoPlanesByte = RowSplit<int32_t(Ptr, Ptr, I16, I16, I16, I16, U8),
    Rows<3>, Plane<1, 5>, Plane<2, 6>>;
// 42, 43
using TwoPlanesValues = RowSplit<int32_t(Ptr, Ptr, I16, I16, I16, I16, I16, I16),
    Rows<3>, Plane<1, 5>, Plane<2, 6>>;
// 55
using ThreePlanesByte = RowSplit<int32_t(Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, U8),
    Rows<4>, Plane<1, 6>, Plane<2, 7>, Plane<3, 8>>;
// 60, 61
using FourPlanesThreeOne = RowSplit<int32_t(Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16),
    Rows<5>, Plane<1, 7>, Plane<2, 7>, Plane<3, 7>, Plane<4, 8>>;
// 63
using ThreePlanesTwoOne = RowSplit<int32_t(Ptr, Ptr, Ptr, I16, I16, I16, I16),
    Rows<4>, Plane<1, 6>, Plane<2, 6>, Plane<3, 7>>;
// 77-94, 110-112
using Record = RecordSplit<BlndRecord,
    RowsField<&BlndRecord::rows>,
    RecordPlane<&BlndRecord::plane1, &BlndRecord::stride1>,
    RecordPlane<&BlndRecord::plane2, &BlndRecord::stride2>,
    RecordPlane<&BlndRecord::plane3, &BlndRecord::stride3>>;
// 97
using ThreePlanesBytes = RowSplit<int32_t(Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, U8, U8, U8),
    Rows<4>, Plane<1, 6>, Plane<2, 7>, Plane<3, 8>>;
// 98
using TwoPlanesLongs = RowSplit<int32_t(Ptr, Ptr, I16, I16, I16, I16, I32, I32, I16),
    Rows<3>, Plane<1, 5>, Plane<2, 6>>;
// 99
using FourPlanesLongs = RowSplit<int32_t(Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I32, I32, I16),
    Rows<5>, Plane<1, 7>, Plane<2, 7>, Plane<3, 7>, Plane<4, 8>>;
// 100
using Opt4Of5 = RowSplit<int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I32, I32, I16),
    Rows<6>, Plane<1, 8>, Plane<2, 8>, Plane<3, 8>, Optional<Plane<4, 8>>, Plane<5, 9>>;
// 102
using WideStridesByte = RowSplit<int32_t(Ptr, Ptr, I16, I16, I32, I32, I32, I32, U8),
    Rows<3>, Plane<1, 5>, Plane<2, 6>>;
// 103-105
using WideStrides = RowSplit<int32_t(Ptr, Ptr, I16, I16, I32, I32, I32, I32),
    Rows<3>, Plane<1, 5>, Plane<2, 6>>;
// 107
using Opt3Of3 = RowSplit<int32_t(Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, I32, I32, I16),
    Rows<4>, Plane<1, 6>, Plane<2, 7>, Optional<Plane<3, 8>>>;
// 108
using Opt5Of5 = RowSplit<int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, I32, I32, I16),
    Rows<6>, Plane<1, 8>, Plane<2, 8>, Plane<3, 8>, Plane<4, 9>, Optional<Plane<5, 10>>>;
// 109
using Opt4And6Of6 = RowSplit<int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, I32, I32, I16),
    Rows<7>, Plane<1, 9>, Plane<2, 9>, Plane<3, 9>, Optional<Plane<4, 9>>,
             Plane<5, 10>, Optional<Plane<6, 11>>>;
// 114
using HalfPlanes = RowSplit<int32_t(Ptr, Ptr, Ptr, I32, I32, I32, I32, I32),
    Rows<4>, EvenPlane<1, 6>, EvenPlane<2, 7>, Plane<3, 8>>;
// 116-123
using Record16 = RecordSplit<BlndRecord16,
    RowsField<&BlndRecord16::rows>,
    RecordEvenPlane<&BlndRecord16::plane1, &BlndRecord16::stride1>,
    RecordEvenPlane<&BlndRecord16::plane2, &BlndRecord16::stride2>,
    RecordPlane<&BlndRecord16::plane3, &BlndRecord16::stride3>>;
// clang-format on

}  // namespace

int32_t InstallBlnd(const PluginParamBlock *) {
  // clang-format off
  Install<Suite::blnd,
      Slot<  1, OnePlane>,           Slot<  2, ThreePlanes>,        Slot<  3, ValueTwoPlanes>,
      Slot<  4, ValuesFourPlanes>,   Slot<  5, ValuesFivePlanes>,   Slot<  7, ThreePlanes>,
      Slot<  8, ValueTwoPlanes>,     Slot<  9, ThreePlanesValues>,  Slot< 10, ThreePlanes>,
      Slot< 11, ValueTwoPlanes>,     Slot< 12, ThreePlanesValues>,  Slot< 13, SevenPlanes>,
      Slot< 14, ValuesFourPlanes>,   Slot< 15, SixPlanes>,          Slot< 16, SevenPlanes>,
      Slot< 17, ValuesFourPlanes>,   Slot< 18, SixPlanes>,          Slot< 19, SevenPlanes>,
      Slot< 20, ValuesFourPlanes>,   Slot< 21, SixPlanes>,          Slot< 22, ThreePlanes>,
      Slot< 23, ValueTwoPlanes>,     Slot< 24, TwoPlanes>,          Slot< 25, ThreePlanes>,
      Slot< 26, ValueTwoPlanes>,     Slot< 27, TwoPlanes>,          Slot< 28, TwoPlanes>,
      Slot< 29, TwoPlanes>,          Slot< 30, ThreePlanes>,        Slot< 31, ValueTwoPlanes>,
      Slot< 32, OnePlaneValues>,     Slot< 33, TwoPlanes>,          Slot< 34, TwoPlanes>,
      Slot< 35, TwoPlanes>,          Slot< 36, TwoPlanes>,          Slot< 37, FivePlanes>,
      Slot< 38, ValuesThreePlanes>,  Slot< 39, FourPlanesInPairs>,  Slot< 40, TwoPlanesByte>,
      Slot< 41, TwoPlanes>,          Slot< 42, TwoPlanesValues>,    Slot< 43, TwoPlanesValues>,
      Slot< 45, SevenPlanes>,        Slot< 46, FivePlanes>,         Slot< 47, ThreePlanes>,
      Slot< 48, ValueTwoPlanes>,     Slot< 49, TwoPlanes>,          Slot< 50, ThreePlanes>,
      Slot< 51, ValueTwoPlanes>,     Slot< 52, TwoPlanes>,          Slot< 53, TwoPlanes>,
      Slot< 54, TwoPlanes>,          Slot< 55, ThreePlanesByte>,    Slot< 56, TwoPlanesByte>,
      Slot< 57, TwoPlanesByte>,      Slot< 58, TwoPlanesByte>,      Slot< 59, TwoPlanesByte>,
      Slot< 60, FourPlanesThreeOne>, Slot< 61, FourPlanesThreeOne>, Slot< 62, TwoPlanes>,
      Slot< 63, ThreePlanesTwoOne>,  Slot< 64, TwoPlanes>,          Slot< 65, ThreePlanes>,
      Slot< 66, ThreePlanes>,        Slot< 67, ThreePlanes>,        Slot< 68, ThreePlanes>,
      Slot< 69, ValueTwoPlanes>,     Slot< 70, TwoPlanes>,          Slot< 71, TwoPlanesByte>,
      Slot< 72, ThreePlanes>,        Slot< 73, ThreePlanes>,        Slot< 74, ThreePlanes>,
      Slot< 75, ThreePlanes>,        Slot< 76, ThreePlanes>,        Slot< 77, Record>,
      Slot< 78, Record>,             Slot< 79, Record>,             Slot< 80, Record>,
      Slot< 81, Record>,             Slot< 82, Record>,             Slot< 83, Record>,
      Slot< 84, Record>,             Slot< 85, Record>,             Slot< 86, Record>,
      Slot< 87, Record>,             Slot< 88, Record>,             Slot< 89, Record>,
      Slot< 90, Record>,             Slot< 91, Record>,             Slot< 92, Record>,
      Slot< 93, Record>,             Slot< 94, Record>,             Slot< 95, TwoPlanes>,
      Slot< 96, TwoPlanes>,          Slot< 97, ThreePlanesBytes>,   Slot< 98, TwoPlanesLongs>,
      Slot< 99, FourPlanesLongs>,    Slot<100, Opt4Of5>,            Slot<102, WideStridesByte>,
      Slot<103, WideStrides>,        Slot<104, WideStrides>,        Slot<105, WideStrides>,
      Slot<106, TwoPlanesByte>,      Slot<107, Opt3Of3>,            Slot<108, Opt5Of5>,
      Slot<109, Opt4And6Of6>,        Slot<110, Record>,             Slot<111, Record>,
      Slot<112, Record>,             Slot<114, HalfPlanes>,         Slot<115, ThreePlanes>,
      Slot<116, Record16>,           Slot<117, Record16>,           Slot<118, Record16>,
      Slot<119, Record16>,           Slot<120, Record16>,           Slot<121, Record16>,
      Slot<122, Record16>,           Slot<123, Record16>>();
  // clang-format on
  return 1;
}

}  // namespace rowfork
