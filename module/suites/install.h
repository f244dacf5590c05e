// A suite's installer is its table: one row per argument list and way of
// splitting, naming the slots that share it, all written in one statement.
//
//   Install<Suite::pntg,
//           Row<Slots<1, 2>, int32_t(Ptr, Ptr, I16, I16, I16, I16), Rows<3>, Plane<1, 5>, Plane<2, 5>>,
//           ...>();
//
//   Row<Slots<N...>, Signature, Count, Moves...>           split by rows (pool/split.h)
//   RecordRow<Slots<N...>, Record, Count, Moves...>        a routine of one parameter record
//   OwnRow<Slots<N...>, Signature, Kernel, Count, Moves...>
//                                                          slices that run the module's own
//                                                          kernel (pool/own_slices.h)
//   DeclaredRow<Slots<N...>, Declaration>                  any other declaration
//   Hook<N, Function>                                      a wrapper written by hand
//
// Every slot of a row gets its own entry, which calls that slot's saved
// routine; the rows' slots share one splitter and one slice procedure. The
// live table is written row by row, in the order the rows stand.
#pragma once

#include "abi/host_types.h"
#include "abi/suite_capture.h"
#include "pool/own_slices.h"
#include "pool/split.h"

namespace rowfork {

template <int... N>
struct Slots {};

template <typename SlotList, typename Declaration>
struct DeclaredRow;

template <int... N, typename Declaration>
struct DeclaredRow<Slots<N...>, Declaration> {
  static constexpr bool Within(int entries) { return ((N >= 0 && N < entries) && ...); }
  template <Suite S>
  static void WriteInto(ProcTable *live) {
    ((live[N] = reinterpret_cast<GenericRoutine>(&Declaration::template Entry<S, N>)), ...);
  }
};

template <typename SlotList, typename Signature, typename... Rules>
using Row = DeclaredRow<SlotList, RowSplit<Signature, Rules...>>;

template <typename SlotList, typename Record, typename... Rules>
using RecordRow = DeclaredRow<SlotList, RecordSplit<Record, Rules...>>;

template <typename SlotList, typename Signature, typename Kernel, typename... Rules>
using OwnRow = DeclaredRow<SlotList, OwnSlices<Signature, Kernel, Rules...>>;

template <int N, auto Function>
struct Hook {
  static constexpr bool Within(int entries) { return N >= 0 && N < entries; }
  template <Suite>
  static void WriteInto(ProcTable *live) {
    live[N] = reinterpret_cast<GenericRoutine>(Function);
  }
};

template <Suite S, typename... Rows>
void Install() {
  static_assert((Rows::Within(TermsOf(S).entries_copied) && ...), "a wrapped slot must be one the capture saved");
  ProcTable *live = LiveTable(S);
  (Rows::template WriteInto<S>(live), ...);
}

}  // namespace rowfork
