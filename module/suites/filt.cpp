// The filter suite: 42 wrappers. Most split by rows; a few split element runs
// instead. Slot 0 records the handle of the host's offset table, which slot 11
// brings up to date for its row stride before it splits; slot 31 gives its
// slices scratch buffers of their own; slots 38 and 41 chain three routines of
// the host's live tables, of which only the last (a wrapper of this suite)
// splits.
#include <atomic>
#include <cstddef>

#include "suites/install.h"
#include "suites/installers.h"

namespace rowfork {
namespace {

// ---- the offset table ----

// One neighbour of a filter kernel. Only the displacements are read and only
// the linear offset is written; the rest belongs to the host.
struct OffsetEntry {
  I16 row;
  I16 column;
  uint8_t host_owned[4];
  I32 linear;  // row * the table's stride + column
};

// The host's kernel table. `last` is the index of the last entry, so a table
// holds last + 1 entries; a negative `last` means none.
struct OffsetTable {
  I16 last;
  uint8_t host_owned[6];
  I32 stride;  // the row stride the linear offsets were computed for
  // last + 1 OffsetEntry records follow.
};

// The table holds no pointers: one layout on both targets.
static_assert(sizeof(OffsetEntry) == 12);
static_assert(offsetof(OffsetEntry, column) == 2 && offsetof(OffsetEntry, linear) == 8);
static_assert(offsetof(OffsetTable, stride) == 8 && sizeof(OffsetTable) == 12);

OffsetEntry *EntriesOf(OffsetTable *table) { return reinterpret_cast<OffsetEntry *>(table + 1); }

// The handle of the latest slot-0 call (a pointer to the table's pointer), null
// until the first. Written by every slot-0 call, read by slot 11's pre-step;
// both may run inside slices, so it is atomic.
std::atomic<Ptr> OffsetTableHandle{nullptr};

using Slot0Routine = int32_t (*)(U8, Ptr, I32, I32);

int32_t RecordOffsetTable(U8 mode, Ptr handle, I32 third, I32 fourth) {
  OffsetTableHandle.store(handle, std::memory_order_relaxed);
  return reinterpret_cast<Slot0Routine>(SavedRoutine(Suite::filt, 0))(mode, handle, third, fourth);
}

// Recomputes the linear offsets when the call's row stride differs from the
// one they were computed for, on the calling thread, so that every slice finds
// the table ready and only reads it. Without a recorded handle, or with a
// handle to no table, there is nothing to update.
void UpdateOffsetTable(Ptr, Ptr, I16, I16, I16 stride_a, I16) {
  const Ptr handle = OffsetTableHandle.load(std::memory_order_relaxed);
  if (handle == nullptr) return;
  auto *table = *static_cast<OffsetTable **>(handle);
  if (table == nullptr) return;
  const I32 stride = stride_a;
  if (table->stride == stride) return;
  // 16-bit factors: the products cannot overflow 32 bits.
  OffsetEntry *entries = EntriesOf(table);
  for (int i = 0; i <= table->last; ++i) entries[i].linear = entries[i].row * stride + entries[i].column;
  table->stride = stride;
}

// ---- the chained slots ----

using TwoPlaneRoutine = int32_t (*)(Ptr, Ptr, I16, I16, I16, I16);
using NoArgumentRoutine = int32_t (*)();

// Live filt slot 29, live core slot 8, then live filt slot `Last` (a wrapper
// of this suite, which splits under its own rules); returns the last result.
template <int Last>
int32_t Chain(Ptr a, Ptr b, I16 rows, I16 value, I16 stride_a, I16 stride_b) {
  reinterpret_cast<TwoPlaneRoutine>(LiveTable(Suite::filt)[29])(a, b, rows, value, stride_a, stride_b);
  reinterpret_cast<NoArgumentRoutine>(LiveTable(Suite::core)[8])();
  return reinterpret_cast<TwoPlaneRoutine>(LiveTable(Suite::filt)[Last])(a, b, rows, value, stride_a,
                                                                         stride_b);
}

}  // namespace

// The rows stand in the order in which the host's tables install them: slots
// 48 and 49 before 45, 71 and 72 before 69 and 70.
int32_t InstallFilt(const PluginParamBlock *) {
  // clang-format off
  Install<Suite::filt,
      Hook<0, RecordOffsetTable>,
      Row<Slots<5, 6, 7, 8, 9, 10, 12, 13, 14, 15, 22, 23, 27, 28, 37, 40, 46, 47>,
                       int32_t(Ptr, Ptr, I16, I16, I16, I16),                      Rows<3>, Plane<1, 5>, Plane<2, 6>>,
      DeclaredRow<Slots<11>, WithPreStep<&UpdateOffsetTable,
          RowSplit<    int32_t(Ptr, Ptr, I16, I16, I16, I16),                      Rows<3>, Plane<1, 5>, Plane<2, 6>>>>,
      Row<Slots<19>,   int32_t(Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16, I16),  Rows<5>, Plane<1, 7>, Plane<2, 8>, Plane<3, 9>, Plane<4, 10>>,
      Row<Slots<31>,   int32_t(Ptr, Ptr, I16, I16, I16, I16, I16, Ptr),            Rows<3>, Plane<1, 5>, Plane<2, 6>, SliceScratch<8, 8192>,
                                                                                            AtMostThreads<4>>,
      Row<Slots<33, 34, 54>, int32_t(Ptr, Ptr, I16, I16, I16, I16, I16),           Rows<3>, Plane<1, 5>, Plane<2, 6>>,
      Hook<38, Chain<37>>,
      Hook<41, Chain<40>>,
      Row<Slots<43>,   int32_t(Ptr, U16),                                          Rows<2>, Run<1, 1>>,
      Row<Slots<44>,   int32_t(Ptr, I16, I16, I16),                                Rows<2>, Run<1, 2>>,
      Row<Slots<48, 49>, int32_t(Ptr, U16, I16),                                   Rows<2>, Run<1, 2>>,
      Row<Slots<45>,   int32_t(Ptr, I16, I16, I16, Ptr, Ptr, I16, I16),            Rows<2>, Plane<1, 4>, Origin<7>>,
      Row<Slots<50>,   int32_t(Ptr, Ptr, I16, I16, I16, I16, Ptr, Ptr, I16, I16),  Rows<3>, Plane<1, 5>, Plane<2, 6>, Origin<9>>,
      Row<Slots<51>,   int32_t(Ptr, Ptr, I16, I16, I16, I16, I16, I16, Ptr),       Rows<5>, Plane<1, 7, 3>, Plane<2, 7, 4>>,
      Row<Slots<63>,   PlusArgs<int32_t(Ptr, Ptr), 11, I32>,                       Rows<3>, Plane<1, 4>, EvenPlane<2, 5>>,
      Row<Slots<64>,   PlusArgs<int32_t(Ptr, Ptr), 11, I32>,                       Rows<3>, Run<1, 2>, Run<2, 1>>,
      Row<Slots<65>,   PlusArgs<int32_t(Ptr, Ptr), 16, I32>,                       Rows<3>, Plane<1, 4>, EvenPlane<2, 5>>,
      Row<Slots<66>,   PlusArgs<int32_t(Ptr, Ptr), 16, I32>,                       Rows<3>, Run<1, 2>, Run<2, 1>>,
      Row<Slots<71>,   PlusArgs<int32_t(Ptr, Ptr, Ptr), 8, I32>,                   Rows<4>, EvenPlane<1, 6>, Plane<2, 7>, Plane<3, 7>>,
      Row<Slots<72>,   PlusArgs<int32_t(Ptr, Ptr, Ptr, Ptr), 8, I32>,              Rows<5>, EvenPlane<1, 7>, Plane<2, 8>, Plane<3, 8>, Plane<4, 8>>,
      Row<Slots<69>,   PlusArgs<int32_t(Ptr, Ptr), 11, I32>,                       Rows<3>, Run<1, 2>, Run<2, 2>>,
      Row<Slots<70>,   PlusArgs<int32_t(Ptr, Ptr), 16, I32>,                       Rows<3>, Run<1, 2>, Run<2, 2>>>();
  // clang-format on
  return 1;
}

}  // namespace rowfork
