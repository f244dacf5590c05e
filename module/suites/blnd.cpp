// The blending suite: 119 slots, every one split by rows. Routines take up to
// seven planes, several of which may share one stride argument; some planes
// may be null (and stay null in every slice); planes of 16-bit elements move
// by their offset rounded down to even bytes; strides are 16 or 32 bits. The
// record routines take a single pointer to a parameter record, which every
// slice gets its own copy of.
//
// Slots with one argument list share one splitter and one slice procedure;
// the host cannot tell that from a splitter of their own.
//
// Slot 114's row count is 32 bits and is divided in 32 bits: every slice's
// count and every plane's advance are exact for any positive count.
//
// Slots 0, 6, 44, 101 and 113 keep the host's own routines.
#include <cstddef>

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

}  // namespace

int32_t InstallBlnd(const PluginParamBlock *) {
  // clang-format off
  Install<Suite::blnd,
      Row<Slots<1>,   int32_t(Ptr, I16, I16, I16, I16),                                       Rows<2>,  Plane<1, 4>>,
      Row<Slots<2, 7, 10, 22, 25, 30, 47, 50, 65, 66, 67, 68, 72, 73, 74, 75, 76, 115>,
                      int32_t(Ptr, Ptr, Ptr, I16, I16, I16, I16, I16),                        Rows<4>,  Plane<1, 6>, Plane<2, 7>, Plane<3, 8>>,
      Row<Slots<3, 8, 11, 23, 26, 31, 48, 51, 69>,
                      int32_t(I16, Ptr, Ptr, I16, I16, I16, I16),                             Rows<4>,  Plane<2, 6>, Plane<3, 7>>,
      Row<Slots<4, 14, 17, 20>,
                      int32_t(I16, I16, I16, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16),         Rows<8>,  Plane<4, 10>, Plane<5, 10>, Plane<6, 10>, Plane<7, 11>>,
      Row<Slots<5>,   int32_t(I16, I16, I16, I16, Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16),
                                                                                              Rows<10>, Plane<5, 12>, Plane<6, 12>, Plane<7, 12>, Plane<8, 12>, Plane<9, 13>>,
      Row<Slots<9, 12>, int32_t(Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, I16, I16),            Rows<4>,  Plane<1, 8>, Plane<2, 9>, Plane<3, 10>>,
      Row<Slots<13, 16, 19, 45>,
                      int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16),    Rows<8>,  Plane<1, 10>, Plane<2, 10>, Plane<3, 10>,
                                                                                                        Plane<4, 11>, Plane<5, 11>, Plane<6, 11>, Plane<7, 12>>,
      Row<Slots<15, 18, 21>,
                      int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16),              Rows<7>,  Plane<1, 9>, Plane<2, 9>, Plane<3, 9>,
                                                                                                        Plane<4, 10>, Plane<5, 10>, Plane<6, 10>>,
      Row<Slots<24, 27, 28, 29, 33, 34, 35, 36, 41, 49, 52, 53, 54, 62, 64, 70, 95, 96>,
                      int32_t(Ptr, Ptr, I16, I16, I16, I16),                                  Rows<3>,  Plane<1, 5>, Plane<2, 6>>,
      Row<Slots<32>,  int32_t(Ptr, I16, I16, I16, I16, I16),                                  Rows<4>,  Plane<1, 6>>,
      Row<Slots<37, 46>, int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16),           Rows<6>,  Plane<1, 8>, Plane<2, 8>, Plane<3, 9>, Plane<4, 9>, Plane<5, 10>>,
      Row<Slots<38>,  int32_t(I16, I16, Ptr, Ptr, Ptr, I16, I16, I16, I16),                   Rows<6>,  Plane<3, 8>, Plane<4, 8>, Plane<5, 9>>,
      Row<Slots<39>,  int32_t(Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16),                        Rows<5>,  Plane<1, 7>, Plane<2, 7>, Plane<3, 8>, Plane<4, 8>>,
      Row<Slots<40, 56, 57, 58, 59, 71, 106>,
                      int32_t(Ptr, Ptr, I16, I16, I16, I16, U8),                              Rows<3>,  Plane<1, 5>, Plane<2, 6>>,
      Row<Slots<42, 43>, int32_t(Ptr, Ptr, I16, I16, I16, I16, I16, I16),                    Rows<3>,  Plane<1, 5>, Plane<2, 6>>,
      Row<Slots<55>,  int32_t(Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, U8),                    Rows<4>,  Plane<1, 6>, Plane<2, 7>, Plane<3, 8>>,
      Row<Slots<60, 61>, int32_t(Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16),                     Rows<5>,  Plane<1, 7>, Plane<2, 7>, Plane<3, 7>, Plane<4, 8>>,
      Row<Slots<63>,  int32_t(Ptr, Ptr, Ptr, I16, I16, I16, I16),                             Rows<4>,  Plane<1, 6>, Plane<2, 6>, Plane<3, 7>>,
      RecordRow<Slots<77, 78, 79, 80, 81, 82, 83, 84, 85, 86, 87, 88, 89, 90, 91, 92, 93, 94, 110, 111, 112>,
                      BlndRecord,                                                             RowsField<&BlndRecord::rows>,
                                                                                                        RecordPlane<&BlndRecord::plane1, &BlndRecord::stride1>,
                                                                                                        RecordPlane<&BlndRecord::plane2, &BlndRecord::stride2>,
                                                                                                        RecordPlane<&BlndRecord::plane3, &BlndRecord::stride3>>,
      Row<Slots<97>,  int32_t(Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, U8, U8, U8),            Rows<4>,  Plane<1, 6>, Plane<2, 7>, Plane<3, 8>>,
      Row<Slots<98>,  int32_t(Ptr, Ptr, I16, I16, I16, I16, I32, I32, I16),                   Rows<3>,  Plane<1, 5>, Plane<2, 6>>,
      Row<Slots<99>,  int32_t(Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I32, I32, I16),         Rows<5>,  Plane<1, 7>, Plane<2, 7>, Plane<3, 7>, Plane<4, 8>>,
      Row<Slots<100>, int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I32, I32, I16),    Rows<6>,  Plane<1, 8>, Plane<2, 8>, Plane<3, 8>, Optional<Plane<4, 8>>,
                                                                                                        Plane<5, 9>>,
      Row<Slots<102>, int32_t(Ptr, Ptr, I16, I16, I32, I32, I32, I32, U8),                    Rows<3>,  Plane<1, 5>, Plane<2, 6>>,
      Row<Slots<103, 104, 105>,
                      int32_t(Ptr, Ptr, I16, I16, I32, I32, I32, I32),                        Rows<3>,  Plane<1, 5>, Plane<2, 6>>,
      Row<Slots<107>, int32_t(Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, I32, I32, I16),         Rows<4>,  Plane<1, 6>, Plane<2, 7>, Optional<Plane<3, 8>>>,
      Row<Slots<108>, int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, I32, I32, I16),
                                                                                              Rows<6>,  Plane<1, 8>, Plane<2, 8>, Plane<3, 8>, Plane<4, 9>,
                                                                                                        Optional<Plane<5, 10>>>,
      Row<Slots<109>, int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, I32, I32, I16),
                                                                                              Rows<7>,  Plane<1, 9>, Plane<2, 9>, Plane<3, 9>, Optional<Plane<4, 9>>,
                                                                                                        Plane<5, 10>, Optional<Plane<6, 11>>>,
      Row<Slots<114>, int32_t(Ptr, Ptr, Ptr, I32, I32, I32, I32, I32),                        Rows<4>,  EvenPlane<1, 6>, EvenPlane<2, 7>, Plane<3, 8>>,
      RecordRow<Slots<116, 117, 118, 119, 120, 121, 122, 123>,
                      BlndRecord16,                                                           RowsField<&BlndRecord16::rows>,
                                                                                                        RecordEvenPlane<&BlndRecord16::plane1, &BlndRecord16::stride1>,
                                                                                                        RecordEvenPlane<&BlndRecord16::plane2, &BlndRecord16::stride2>,
                                                                                                        RecordPlane<&BlndRecord16::plane3, &BlndRecord16::stride3>>>();
  // clang-format on
  return 1;
}

}  // namespace rowfork
