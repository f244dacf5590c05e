// The filter suite's split slots as the host calls them: for each way of
// calling, the slots that take it, the plane bytes a count needs, a count
// beyond the ordinary ones, and the call itself on a workspace of random,
// guarded planes and tables.
#pragma once

#include <cstdint>
#include <vector>

#include "host/filt_signatures.h"
#include "host/guarded_buffer.h"

namespace lumora::testing {

inline constexpr int16_t kFiltWidth = 13;
inline constexpr int16_t kFiltOrigin = 3;

// Everything one call reads or writes, random and guarded; a copy starts
// from the same bytes.
struct FiltWorkspace {
  explicit FiltWorkspace(size_t plane_bytes)
      : planes{GuardedBuffer(plane_bytes, 1), GuardedBuffer(plane_bytes, 2), GuardedBuffer(plane_bytes, 3),
               GuardedBuffer(plane_bytes, 4)} {}
  GuardedBuffer planes[4];
  GuardedBuffer scratch{8192, 5}, row_table{256, 6}, column_table{64, 7}, lookup{256, 8};

  // Row 0 of plane n: one row and one column in from the plane's edge, so
  // that a routine reading its neighbours stays inside the buffer.
  void *Plane(int n, int rows, int stride) { return planes[n].PlaneStart(rows + 2, stride) + stride + 1; }
  bool operator==(const FiltWorkspace &other) const {
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
inline int16_t Count16(int count) { return static_cast<int16_t>(count); }
inline uint16_t UCount16(int count) { return static_cast<uint16_t>(count); }

// One way of calling: the slots that take it, the plane bytes a count needs,
// a count beyond the ordinary ones, and the call itself.
struct FiltShape {
  std::vector<int> slots;
  size_t bytes_per_count;
  int large_count;
  void (*call)(Routine routine, FiltWorkspace &w, int count);
};

// clang-format off
inline const FiltShape kFiltShapes[] = {
    {{5, 6, 7, 8, 9, 10, 12, 13, 14, 15, 22, 23, 27, 28, 37, 38, 40, 41, 46, 47}, 48, 0,
     [](Routine r, FiltWorkspace &w, int n) {
       As<TwoPlaneFn>(r)(w.Plane(0, n, 40), w.Plane(1, n, -48), Count16(n), kFiltWidth, 40, -48);
     }},
    {{19}, 48, 0,
     [](Routine r, FiltWorkspace &w, int n) {
       As<FourPlaneFn>(r)(w.Plane(0, n, 40), w.Plane(1, n, -48), w.Plane(2, n, 24), w.Plane(3, n, -32), Count16(n),
                          kFiltWidth, 40, -48, 24, -32);
     }},
    {{31}, 48, 0,
     [](Routine r, FiltWorkspace &w, int n) {
       As<ScratchFn>(r)(w.Plane(0, n, -40), w.Plane(1, n, 48), Count16(n), kFiltWidth, -40, 48, 9, w.scratch.Data());
     }},
    {{33, 34, 54}, 48, 0,
     [](Routine r, FiltWorkspace &w, int n) {
       As<TwoPlaneValueFn>(r)(w.Plane(0, n, 40), w.Plane(1, n, -48), Count16(n), kFiltWidth, 40, -48, 5);
     }},
    {{43}, 1, 65535,
     [](Routine r, FiltWorkspace &w, int n) { As<ByteRunFn>(r)(w.planes[0].Data(), UCount16(n)); }},
    {{44}, 2, 32767,
     [](Routine r, FiltWorkspace &w, int n) { As<HalfRunFn>(r)(w.planes[0].Data(), Count16(n), 3, -7); }},
    {{48, 49}, 2, 65535,
     [](Routine r, FiltWorkspace &w, int n) { As<HalfRunUFn>(r)(w.planes[0].Data(), UCount16(n), 11); }},
    {{45}, 48, 0,
     [](Routine r, FiltWorkspace &w, int n) {
       As<OriginFn>(r)(w.Plane(0, n, -40), Count16(n), kFiltWidth, -40, w.row_table.Data(), w.column_table.Data(),
                       kFiltOrigin, 7);
     }},
    {{50}, 48, 0,
     [](Routine r, FiltWorkspace &w, int n) {
       As<TwoOriginFn>(r)(w.Plane(0, n, 40), w.Plane(1, n, -48), Count16(n), kFiltWidth, 40, -48, w.row_table.Data(),
                          w.column_table.Data(), kFiltOrigin, -2);
     }},
    {{51}, 40, 0,
     [](Routine r, FiltWorkspace &w, int n) {
       As<FactorFn>(r)(w.Plane(0, n, 40), w.Plane(1, n, -20), 2, -1, Count16(n), kFiltWidth, 20, 0x35, w.lookup.Data());
     }},
    {{63}, 36, 70001,
     [](Routine r, FiltWorkspace &w, int n) {
       As<Wide13Fn>(r)(w.Plane(0, n, 20), w.Plane(1, n, -36), n, 20, -36, kFiltWidth, 3, 7, 1, 2, 3, 4, 5);
     }},
    {{65}, 36, 70001,
     [](Routine r, FiltWorkspace &w, int n) {
       As<Wide18Fn>(r)(w.Plane(0, n, -20), w.Plane(1, n, 36), n, -20, 36, kFiltWidth, 3, 7, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10);
     }},
    {{64, 69}, 2, 70001,
     [](Routine r, FiltWorkspace &w, int n) {
       As<Wide13Fn>(r)(w.planes[0].Data(), w.planes[1].Data(), n, 3, 1, 2, 3, 4, 5, 6, 7, 8, 9);
     }},
    {{66, 70}, 2, 70001,
     [](Routine r, FiltWorkspace &w, int n) {
       As<Wide18Fn>(r)(w.planes[0].Data(), w.planes[1].Data(), n, 3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14);
     }},
    {{71}, 30, 70001,
     [](Routine r, FiltWorkspace &w, int n) {
       As<ThreeWideFn>(r)(w.Plane(0, n, 30), w.Plane(1, n, -20), w.Plane(2, n, -20), n, kFiltWidth, 30, -20, 11, 0, 0, 0);
     }},
    {{72}, 28, 70001,
     [](Routine r, FiltWorkspace &w, int n) {
       As<FourWideFn>(r)(w.Plane(0, n, -28), w.Plane(1, n, 16), w.Plane(2, n, 16), w.Plane(3, n, 16), n, kFiltWidth,
                         -28, 16, 3, 0, 0, 0);
     }},
};
// clang-format on

}  // namespace lumora::testing
