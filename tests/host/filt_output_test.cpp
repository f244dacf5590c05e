// The filter suite's split output against the unsplit output of the same
// host routines, byte for byte, guard bytes included, at every thread count.
#include <gtest/gtest.h>

#include <vector>

#include "host/filt_signatures.h"
#include "host/guarded_buffer.h"
#include "host/host_fixture.h"
#include "host/suites/filt_routines.h"

namespace lumora::testing {
namespace {

constexpr int16_t kWidth = 13;
constexpr int16_t kOrigin = 3;

// Everything one call reads or writes, random and guarded; a copy starts
// from the same bytes.
struct Workspace {
  explicit Workspace(size_t plane_bytes)
      : planes{GuardedBuffer(plane_bytes, 1), GuardedBuffer(plane_bytes, 2), GuardedBuffer(plane_bytes, 3),
               GuardedBuffer(plane_bytes, 4)} {}
  GuardedBuffer planes[4];
  GuardedBuffer scratch{8192, 5}, row_table{256, 6}, column_table{64, 7}, lookup{256, 8};

  // Row 0 of plane n: one row and one column in from the plane's edge, so
  // that a routine reading its neighbours stays inside the buffer.
  void *Plane(int n, int rows, int stride) { return planes[n].PlaneStart(rows + 2, stride) + stride + 1; }
  bool operator==(const Workspace &other) const {
    for (int n = 0; n < 4; ++n) {
      if (!(planes[n] == other.planes[n])) return false;
    }
    return scratch == other.scratch && row_table == other.row_table && column_table == other.column_table &&
           lookup == other.lookup;
  }
};

template <typename Fn>
Fn *As(Routine routine) {
  return reinterpret_cast<Fn *>(routine);
}
int16_t I16(int count) { return static_cast<int16_t>(count); }
uint16_t U16(int count) { return static_cast<uint16_t>(count); }

// One way of calling: the slots that take it, the plane bytes a count needs,
// a count beyond the ordinary ones, and the call itself.
struct Shape {
  std::vector<int> slots;
  size_t bytes_per_count;
  int large_count;
  void (*call)(Routine routine, Workspace &w, int count);
};

// clang-format off
const Shape kShapes[] = {
    {{5, 6, 7, 8, 9, 10, 12, 13, 14, 15, 22, 23, 27, 28, 37, 38, 40, 41, 46, 47}, 48, 0,
     [](Routine r, Workspace &w, int n) {
       As<TwoPlaneFn>(r)(w.Plane(0, n, 40), w.Plane(1, n, -48), I16(n), kWidth, 40, -48);
     }},
    {{19}, 48, 0,
     [](Routine r, Workspace &w, int n) {
       As<FourPlaneFn>(r)(w.Plane(0, n, 40), w.Plane(1, n, -48), w.Plane(2, n, 24), w.Plane(3, n, -32), I16(n),
                          kWidth, 40, -48, 24, -32);
     }},
    {{31}, 48, 0,
     [](Routine r, Workspace &w, int n) {
       As<ScratchFn>(r)(w.Plane(0, n, -40), w.Plane(1, n, 48), I16(n), kWidth, -40, 48, 9, w.scratch.Data());
     }},
    {{33, 34, 54}, 48, 0,
     [](Routine r, Workspace &w, int n) {
       As<TwoPlaneValueFn>(r)(w.Plane(0, n, 40), w.Plane(1, n, -48), I16(n), kWidth, 40, -48, 5);
     }},
    {{43}, 1, 65535,
     [](Routine r, Workspace &w, int n) { As<ByteRunFn>(r)(w.planes[0].Data(), U16(n)); }},
    {{44}, 2, 32767,
     [](Routine r, Workspace &w, int n) { As<HalfRunFn>(r)(w.planes[0].Data(), I16(n), 3, -7); }},
    {{48, 49}, 2, 65535,
     [](Routine r, Workspace &w, int n) { As<HalfRunUFn>(r)(w.planes[0].Data(), U16(n), 11); }},
    {{45}, 48, 0,
     [](Routine r, Workspace &w, int n) {
       As<OriginFn>(r)(w.Plane(0, n, -40), I16(n), kWidth, -40, w.row_table.Data(), w.column_table.Data(),
                       kOrigin, 7);
     }},
    {{50}, 48, 0,
     [](Routine r, Workspace &w, int n) {
       As<TwoOriginFn>(r)(w.Plane(0, n, 40), w.Plane(1, n, -48), I16(n), kWidth, 40, -48, w.row_table.Data(),
                          w.column_table.Data(), kOrigin, -2);
     }},
    {{51}, 40, 0,
     [](Routine r, Workspace &w, int n) {
       As<FactorFn>(r)(w.Plane(0, n, 40), w.Plane(1, n, -20), 2, -1, I16(n), kWidth, 20, 0x35, w.lookup.Data());
     }},
    {{63}, 36, 70001,
     [](Routine r, Workspace &w, int n) {
       As<Wide13Fn>(r)(w.Plane(0, n, 20), w.Plane(1, n, -36), n, 20, -36, kWidth, 3, 7, 1, 2, 3, 4, 5);
     }},
    {{65}, 36, 70001,
     [](Routine r, Workspace &w, int n) {
       As<Wide18Fn>(r)(w.Plane(0, n, -20), w.Plane(1, n, 36), n, -20, 36, kWidth, 3, 7, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10);
     }},
    {{64, 69}, 2, 70001,
     [](Routine r, Workspace &w, int n) {
       As<Wide13Fn>(r)(w.planes[0].Data(), w.planes[1].Data(), n, 3, 1, 2, 3, 4, 5, 6, 7, 8, 9);
     }},
    {{66, 70}, 2, 70001,
     [](Routine r, Workspace &w, int n) {
       As<Wide18Fn>(r)(w.planes[0].Data(), w.planes[1].Data(), n, 3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14);
     }},
    {{71}, 30, 70001,
     [](Routine r, Workspace &w, int n) {
       As<ThreeWideFn>(r)(w.Plane(0, n, 30), w.Plane(1, n, -20), w.Plane(2, n, -20), n, kWidth, 30, -20, 11, 0, 0, 0);
     }},
    {{72}, 28, 70001,
     [](Routine r, Workspace &w, int n) {
       As<FourWideFn>(r)(w.Plane(0, n, -28), w.Plane(1, n, 16), w.Plane(2, n, 16), w.Plane(3, n, 16), n, kWidth,
                         -28, 16, 3, 0, 0, 0);
     }},
};
// clang-format on

class FiltOutput : public ModuleTest {
 protected:
  void PrepareSuites() override { PutFiltRoutines(*suites); }
};

TEST_F(FiltOutput, EverySlotSplitWritesWhatItWritesUnsplit) {
  AtEachThreadCount([&](int) {
    HostSuites reference;  // the same routines, called directly
    PutFiltRoutines(reference);
    for (const Shape &shape : kShapes) {
      std::vector<int> counts = {1, 2, 3, 7, 9, 31, 64};
      if (shape.large_count != 0) counts.push_back(shape.large_count);
      for (int count : counts) {
        const Workspace start(static_cast<size_t>(count + 2) * shape.bytes_per_count);
        for (int slot : shape.slots) {
          SCOPED_TRACE(::testing::Message() << "slot " << slot << ", count " << count);
          Workspace split = start, unsplit = start;
          shape.call(reference.Table(kFilt)[slot], unsplit, count);
          shape.call(suites->Table(kFilt)[slot], split, count);
          ASSERT_TRUE(split == unsplit);
        }
      }
    }
  });
}

TEST_F(FiltOutput, KernelSumsFindTheirTableReadyForTheirStride) {
  const std::vector<KernelEntry> cross = {
      {-1, 0, {}, 0}, {0, -1, {}, 0}, {0, 0, {}, 0}, {0, 1, {}, 0}, {1, 0, {}, 0}};
  AtEachThreadCount([&](int) {
    HostSuites reference;
    PutFiltRoutines(reference);
    for (int rows : {1, 2, 3, 7, 9, 31, 64}) {
      for (auto [sa, sb] : {std::pair{40, -48}, std::pair{-44, 40}}) {
        SCOPED_TRACE(::testing::Message() << rows << " rows, stride " << sa);
        KernelTable stale(cross, 0x11111111), ready(cross, 0x11111111);
        ready.ComputeFor(sa);
        const Workspace start(static_cast<size_t>(rows + 2) * 48);
        Workspace split = start, unsplit = start;
        As<KernelFn>(suites->Table(kFilt)[0])(0, stale.Handle(), 0, 0);
        As<TwoPlaneFn>(suites->Table(kFilt)[11])(split.Plane(0, rows, sa), split.Plane(1, rows, sb),
                                                 I16(rows), kWidth, I16(sa), I16(sb));
        As<KernelFn>(reference.Table(kFilt)[0])(0, ready.Handle(), 0, 0);
        As<TwoPlaneFn>(reference.Table(kFilt)[11])(unsplit.Plane(0, rows, sa), unsplit.Plane(1, rows, sb),
                                                   I16(rows), kWidth, I16(sa), I16(sb));
        ASSERT_TRUE(split == unsplit);
        for (int i = 0; i < stale.Size(); ++i) EXPECT_EQ(stale.Entry(i).linear, ready.Entry(i).linear);
      }
    }
  });
}

}  // namespace
}  // namespace lumora::testing
