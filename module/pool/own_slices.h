// OwnSlices: a wrapper whose slices run a procedure of the module's own
// instead of the saved routine. The count and the moves divide the caller's
// arguments as for RowSplit (pool/split.h); a kernel says what a slice's
// WorkerBlock carries and what runs on it:
//
//   using Band                        one slice's block
//   using Call                        what one call keeps from before its split
//                                     to after it (OwnKernel: nothing)
//   static bool Take(Call &, int threads, const Args &)
//                                     once the participants are known; false
//                                     runs the call unsplit
//   static Band BandOf(const Call &, const Args &in, const Args &slice_args,
//                      const SliceContext &)
//                                     slice k's band, from the caller's arguments
//                                     and the slice's
//   static void Slice(const Band &)   the slice procedure
//   static void Merge(const Call &, int threads)
//                                     after every slice is done
//   static void Give(Call &)          last, split or not
//   static int32_t Unsplit(Routine, Ts...)
//                                     what a call that does not split runs
//
//   using Histograms = OwnSlices<int32_t(Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16),
//                                HistogramCounting, Rows<6>, Plane<1, 8>, ...>;
#pragma once

#include <new>
#include <tuple>

#include "pool/split.h"

namespace rowfork {

// What a kernel has unless it says otherwise.
struct OwnKernel {
  struct Call {};
  static void Merge(const Call &, int) {}
  static void Give(Call &) {}
};

template <typename Signature, typename Kernel, typename Count, typename... Rules>
struct OwnSlices;

template <typename... Ts, typename Kernel, typename Count, typename... Rules>
struct OwnSlices<int32_t(Ts...), Kernel, Count, Rules...> {
  using Signature = int32_t(Ts...);
  using Routine = int32_t (*)(Ts...);
  using Args = std::tuple<Ts...>;
  using Band = typename Kernel::Band;
  using Splitter = split_detail::Splitter<Band, Args, Count, Rules...>;

  static void SliceProc(WorkerBlock *block) {
    Kernel::Slice(*std::launder(reinterpret_cast<Band *>(block->bytes)));
  }

  // The wrapper's result is 0 on the split path.
  static int32_t Run(Routine routine, Ts... values) {
    const Args in{values...};
    typename Kernel::Call call{};
    const bool split = Splitter::Split(
        in, &SliceProc, [&](int threads) { return Kernel::Take(call, threads, in); },
        [&](unsigned char *bytes, const Args &args, const SliceContext &slice) {
          new (bytes) Band(Kernel::BandOf(call, in, args, slice));
        },
        [&call](int threads) { Kernel::Merge(call, threads); });
    Kernel::Give(call);
    return split ? 0 : Kernel::Unsplit(routine, values...);
  }

  template <Suite S, int Slot>
  static int32_t Entry(Ts... values) {
    return Run(reinterpret_cast<Routine>(SavedRoutine(S, Slot)), values...);
  }
};

}  // namespace rowfork
