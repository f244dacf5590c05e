// The selection suite: seventeen routines split by rows (slot 26 divides a
// byte run in chunks of eight instead), and the histogram pair of slots 0 and
// 2, whose split counting is the module's own (kernels/histograms.h).
#include "kernels/histogram_split.h"
#include "pool/split.h"
#include "suites/install.h"
#include "suites/installers.h"

namespace rowfork {
namespace {

// clang-format off
//                            arguments                                                     count         moves
using Histograms    = OwnSlices<int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16), HistogramCounting,
                                                                                            Rows<6>,      Plane<1, 8>, Plane<2, 8>, Plane<3, 8>, Plane<4, 8>,
                                                                                                          Optional<Plane<5, 9>>>;
using FivePlanes    = RowSplit<int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16),        Rows<6>,      Plane<1, 8>, Plane<2, 8>, Plane<3, 8>, Plane<4, 8>,
                                                                                                          Plane<5, 9>>;
using FourPlanes    = RowSplit<int32_t(Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16),             Rows<5>,      Plane<1, 7>, Plane<2, 7>, Plane<3, 7>, Plane<4, 8>>;
using ThreePlanes   = RowSplit<int32_t(Ptr, Ptr, Ptr, I16, I16, I16, I16),                  Rows<4>,      Plane<1, 6>, Plane<2, 6>, Plane<3, 7>>;
using TwoPlanes     = RowSplit<int32_t(Ptr, Ptr, I16, I16, I16, I16),                       Rows<3>,      Plane<1, 5>, Plane<2, 6>>;
using RowsFourth    = RowSplit<int32_t(Ptr, Ptr, I16, I16, I16, I16, I16),                  Rows<4>,      Plane<1, 6>, Plane<2, 7>>;
using ByteRun       = RowSplit<int32_t(Ptr, I16, I16, I32),                                 InEights<3>,  Run<1, 1>>;
using WidePlane     = RowSplit<int32_t(Ptr, I16, I16, I32),                                 Rows<2>,      Plane<1, 4>>;
using OnePlane      = RowSplit<int32_t(Ptr, I16, I16, I16, I16, I16),                       Rows<2>,      Plane<1, 4>>;
using WidePair      = RowSplit<int32_t(Ptr, Ptr, I16, I16, I32, I32, U8),                   Rows<3>,      Plane<1, 5>, Plane<2, 5>>;
using PairAndFlag   = RowSplit<int32_t(Ptr, Ptr, I16, I16, I16, I16, U8),                   Rows<3>,      Plane<1, 5>, Plane<2, 6>>;
using ScaledPair    = RowSplit<int32_t(Ptr, Ptr, I16, I16, I16, I16, I32, I32, U8, U8, I16), Rows<3>,      Plane<1, 7>, Plane<2, 8, 11>>;
using WideFour      = RowSplit<int32_t(Ptr, Ptr, Ptr, Ptr, I32, I32, I32, I16, I16, I32, I32),
                                                                                            Rows<8>,      Plane<1, 10>, Plane<2, 10>, Plane<3, 10>,
                                                                                                          Plane<4, 11>>;
// clang-format on

}  // namespace

int32_t InstallSele(const PluginParamBlock *) {
  // clang-format off
  Install<Suite::sele,
          Hook<0,  RecordHistogramTable>,
          Slot<2,  Histograms>,
          Slot<18, TwoPlanes>,
          Slot<16, ThreePlanes>,
          Slot<17, ThreePlanes>,
          Slot<14, FourPlanes>,
          Slot<15, FourPlanes>,
          Slot<13, FivePlanes>,
          Slot<21, RowsFourth>,
          Slot<47, FourPlanes>,
          Slot<48, FourPlanes>,
          Slot<27, WidePlane>,
          Slot<26, ByteRun>,
          Slot<35, WidePair>,
          Slot<32, OnePlane>,
          Slot<41, PairAndFlag>,
          Slot<46, ScaledPair>,
          Slot<43, PairAndFlag>,
          Slot<49, WideFour>>();
  // clang-format on
  return 1;
}

}  // namespace rowfork
