// Installing a suite's wrappers: one generic step that writes each listed
// slot of the suite's live table, in the order listed.
//
//   Install<Suite::rast, Slot<0, Planes>, Slot<1, PlanesAndValue>, ...>();
//
// Slot<N, Declaration> installs the declaration's wrapper for slot N (see
// pool/split.h); Hook<N, Function> installs a wrapper written by hand.
#pragma once

#include "abi/host_types.h"
#include "abi/suite_capture.h"

namespace rowfork {

template <int N, typename Declaration>
struct Slot {
  static constexpr int kSlot = N;
  template <Suite S>
  static GenericRoutine Wrapper() {
    return reinterpret_cast<GenericRoutine>(&Declaration::template Entry<S, N>);
  }
};

template <int N, auto Function>
struct Hook {
  static constexpr int kSlot = N;
  template <Suite S>
  static GenericRoutine Wrapper() {
    return reinterpret_cast<GenericRoutine>(Function);
  }
};

template <Suite S, typename... Slots>
void Install() {
  static_assert(((Slots::kSlot >= 0 && Slots::kSlot < TermsOf(S).entries_copied) && ...),
                "a wrapped slot must be one the capture saved");
  ProcTable *live = LiveTable(S);
  ((live[Slots::kSlot] = Slots::template Wrapper<S>()), ...);
}

}  // namespace rowfork
