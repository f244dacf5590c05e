// The words in which a suite declares how each wrapped routine is split.
//
// A wrapper has the host routine's own argument list. Its declaration names
// the argument list, the count that is divided, and how every other argument
// changes per slice; arguments are numbered from 1, as in the host's tables:
//
//   using TwoPlanes = RowSplit<int32_t(Ptr, Ptr, I16, I16, I16, I16),
//                              Rows<3>, Plane<1, 5>, Plane<2, 6>>;
//
// Slice k of a split gets a copy of the caller's arguments in which the count
// is its share and each rule has moved its argument by the k * per_slice rows
// before the slice. The arguments live in the slice's WorkerBlock, with the
// routine to call; one splitter and one slice procedure serve every slot that
// shares a declaration (Entry<suite, slot> is each slot's forwarding wrapper).
// A call runs unsplit (the routine once, with the caller's arguments, its
// result handed back) when the count does not divide into non-empty slices,
// when a rule forbids the split, or when the pool is busy or absent. A split
// returns 0 unless a rule combines the slices' results.
//
// Count rules (the first rule of a declaration):
//   Rows<N>                 argument N divided by the participants
//   AlignedRows<N, S>       ... rows per slice cut to a multiple of argument S
//   InMultiples<N, M>       ... every share a multiple of M (a power of two)
//   InEights<N>             ... shares of at least 8, multiples of 8, counts below 9 unsplit
// Moves:
//   Plane<P, S...>          pointer P by the stride that is the product of arguments S...
//   ScaledPlane<P, B, S...> pointer P by B bytes times arguments S... per row
//   Run<P, B>               pointer P by B bytes per element (or per-row table entry)
//   EvenPlane<P, S>         pointer P of 16-bit elements by stride S, rounded down to even bytes
//   Optional<Move>          the move, except that a null pointer stays null
//   Origin<O>               16-bit row coordinate O plus the rows before the slice
//   OriginBack<O>           16-bit row coordinate O minus the rows before the slice
//   SliceScratch<P, B>      pointer P: a B-byte scratch buffer of the splitter's own for
//                           every slice but the last, which keeps the caller's
// Conditions and results:
//   AtMostThreads<C>        unsplit with more than C participants
//   UnsplitWhenArgIs<A, V>  unsplit when argument A equals V
//   SumOfResults            the split returns the 32-bit sum of the slices' results
//   AllResultsNonZero       the split returns 1 when every slice's low result byte is
//                           nonzero, else 0
//
// Long argument lists:
//   PlusArgs<int32_t(Ptr, Ptr), 11, I32>
//                           int32_t(Ptr, Ptr) followed by 11 arguments of type I32
//
// RecordSplit declares a routine whose one argument points to a parameter
// record: every slice gets its own copy in its WorkerBlock, with RowsField
// and FieldPlane / FieldEvenPlane rules naming record members. The caller's
// record is only read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <tuple>
#include <type_traits>
#include <utility>

#include "abi/suite_capture.h"
#include "pool/bands.h"
#include "pool/pool.h"

namespace rowfork {

// The argument widths of the host's tables.
using Ptr = void *;
using I16 = int16_t;
using U16 = uint16_t;
using I32 = int32_t;
using U8 = uint8_t;

// What a rule knows of the slice it prepares.
struct SliceContext {
  int k;
  int threads;
  int32_t first;           // rows (or elements) before the slice
  int32_t count;           // the slice's share
  unsigned char *scratch;  // the splitter's scratch area, when a rule asks for one
};

// Argument N (from 1) of an argument tuple.
template <int N, typename Tuple>
constexpr auto &Arg(Tuple &args) {
  return std::get<N - 1>(args);
}

// What every rule has unless it says otherwise.
struct Rule {
  static constexpr int kThreadCap = 0;  // 0: no cap
  static constexpr size_t kScratchBytes = 0;
  static constexpr int kCombine = 0;
  template <typename A>
  static bool Prevents(const A &) {
    return false;
  }
  template <typename A>
  static void Move(A &, const A &, const SliceContext &) {}
};

constexpr int kSumResults = 1;
constexpr int kAllResults = 2;

// ---- count rules ----

template <int N>
struct CountArg : Rule {
  template <typename A>
  static int32_t Count(const A &in) {
    return static_cast<int32_t>(Arg<N>(in));  // sign- or zero-extended by the argument's type
  }
  template <typename A>
  static void Move(A &out, const A &, const SliceContext &slice) {
    using T = std::remove_reference_t<decltype(Arg<N>(out))>;
    Arg<N>(out) = static_cast<T>(slice.count);
  }
};

template <int N>
struct Rows : CountArg<N> {
  template <typename A>
  static Bands Divide(const A &in, int threads) {
    return DivideRows(CountArg<N>::Count(in), threads);
  }
};

template <int N, int S>
struct AlignedRows : CountArg<N> {
  template <typename A>
  static Bands Divide(const A &in, int threads) {
    return DivideAligned(CountArg<N>::Count(in), threads, static_cast<int32_t>(Arg<S>(in)));
  }
};

template <int N, int32_t Multiple>
struct InMultiples : CountArg<N> {
  static_assert(Multiple > 0 && (Multiple & (Multiple - 1)) == 0);
  template <typename A>
  static Bands Divide(const A &in, int threads) {
    return DivideInMultiples(CountArg<N>::Count(in), threads, Multiple);
  }
};

template <int N>
struct InEights : CountArg<N> {
  template <typename A>
  static Bands Divide(const A &in, int threads) {
    return DivideInEights(CountArg<N>::Count(in), threads);
  }
};

// ---- moves ----

template <int P, int... S>
struct Plane : Rule {
  template <typename A>
  static void *Pointer(const A &in) {
    return Arg<P>(in);
  }
  template <typename A>
  static void Move(A &out, const A &in, const SliceContext &slice) {
    Arg<P>(out) = Advance(Arg<P>(in), RowOffset(slice.first, Arg<S>(in)...));
  }
};

template <int P, int32_t Bytes, int... S>
struct ScaledPlane : Rule {
  template <typename A>
  static void *Pointer(const A &in) {
    return Arg<P>(in);
  }
  template <typename A>
  static void Move(A &out, const A &in, const SliceContext &slice) {
    Arg<P>(out) = Advance(Arg<P>(in), RowOffset(slice.first, Bytes, Arg<S>(in)...));
  }
};

template <int P, int32_t Bytes>
using Run = ScaledPlane<P, Bytes>;

template <int P, int S>
struct EvenPlane : Rule {
  template <typename A>
  static void *Pointer(const A &in) {
    return Arg<P>(in);
  }
  template <typename A>
  static void Move(A &out, const A &in, const SliceContext &slice) {
    Arg<P>(out) = Advance(Arg<P>(in), EvenOffset(RowOffset(slice.first, Arg<S>(in))));
  }
};

template <typename M>
struct Optional : M {
  template <typename A>
  static void Move(A &out, const A &in, const SliceContext &slice) {
    if (M::Pointer(in) != nullptr) M::Move(out, in, slice);
  }
};

template <int O>
struct Origin : Rule {
  template <typename A>
  static void Move(A &out, const A &in, const SliceContext &slice) {
    Arg<O>(out) = MoveRow(Arg<O>(in), slice.first);
  }
};

template <int O>
struct OriginBack : Rule {
  template <typename A>
  static void Move(A &out, const A &in, const SliceContext &slice) {
    Arg<O>(out) = MoveRow(Arg<O>(in), -slice.first);
  }
};

template <int P, size_t Bytes>
struct SliceScratch : Rule {
  static constexpr size_t kScratchBytes = Bytes;
  template <typename A>
  static void Move(A &out, const A &, const SliceContext &slice) {
    if (slice.k != slice.threads - 1) Arg<P>(out) = slice.scratch + static_cast<size_t>(slice.k) * Bytes;
  }
};

// ---- conditions and results ----

template <int Cap>
struct AtMostThreads : Rule {
  static constexpr int kThreadCap = Cap;
};

template <int A, auto V>
struct UnsplitWhenArgIs : Rule {
  template <typename Args>
  static bool Prevents(const Args &in) {
    return Arg<A>(in) == V;
  }
};

struct SumOfResults : Rule {
  static constexpr int kCombine = kSumResults;
};

struct AllResultsNonZero : Rule {
  static constexpr int kCombine = kAllResults;
};

// ---- record members ----

template <auto Field>
struct RowsField : Rule {
  template <typename R>
  static Bands Divide(const R &in, int threads) {
    return DivideRows(static_cast<int32_t>(in.*Field), threads);
  }
  template <typename R>
  static void Move(R &out, const R &, const SliceContext &slice) {
    using T = std::remove_reference_t<decltype(out.*Field)>;
    out.*Field = static_cast<T>(slice.count);
  }
};

template <auto PlaneField, auto StrideField>
struct FieldPlane : Rule {
  template <typename R>
  static void *Pointer(const R &in) {
    return in.*PlaneField;
  }
  template <typename R>
  static void Move(R &out, const R &in, const SliceContext &slice) {
    out.*PlaneField = Advance(in.*PlaneField, RowOffset(slice.first, in.*StrideField));
  }
};

template <auto PlaneField, auto StrideField>
struct FieldEvenPlane : Rule {
  template <typename R>
  static void *Pointer(const R &in) {
    return in.*PlaneField;
  }
  template <typename R>
  static void Move(R &out, const R &in, const SliceContext &slice) {
    out.*PlaneField = Advance(in.*PlaneField, EvenOffset(RowOffset(slice.first, in.*StrideField)));
  }
};

// ---- the splitter ----

namespace split_detail {

template <size_t Bytes>
struct ScratchArea {
  alignas(16) unsigned char bytes[Bytes];
};
template <>
struct ScratchArea<0> {
  unsigned char *bytes = nullptr;
};

constexpr int MaxOf(std::initializer_list<int> values) {
  int most = 0;
  for (int value : values) most = value > most ? value : most;
  return most;
}

// The part every declaration shares: whether to split, filling the blocks,
// running the slices and combining their results. `Block` holds the routine
// and the slice's arguments `args`, which the rules rewrite.
template <typename Block, typename In, typename Count, typename... Rules>
struct Splitter {
  static constexpr int kThreadCap = MaxOf({0, Rules::kThreadCap...});
  static constexpr size_t kScratchBytes = (size_t{0} + ... + Rules::kScratchBytes);
  static constexpr int kCombine = MaxOf({0, Rules::kCombine...});
  static_assert(kScratchBytes == 0 || kThreadCap > 1,
                "slice scratch needs a thread cap that bounds the buffers");
  static_assert(sizeof(Block) <= sizeof(WorkerBlock), "a slice's arguments must fit its WorkerBlock");
  static_assert(std::is_trivially_destructible_v<Block>, "blocks are reused without destruction");

  static Bands Divide(const In &in, int threads) {
    if (kThreadCap != 0 && threads > kThreadCap) return {};
    if ((Rules::Prevents(in) || ...)) return {};
    return Count::Divide(in, threads);
  }

  static Block *BlockOf(int k) { return std::launder(reinterpret_cast<Block *>(SliceBlock(k)->bytes)); }

  // The caller's arguments as slice `slice` gets them.
  static In SliceArgs(const In &in, const SliceContext &slice) {
    In out = in;
    Count::Move(out, in, slice);
    (Rules::Move(out, in, slice), ...);
    return out;
  }

  // Claims the pool and splits the call: `prepare(threads)` may still refuse
  // the split once the participants are known, `fill(block, args, slice)`
  // writes each slice's block from its arguments, `slice_proc` runs on every
  // block, and `after(threads)` reads the blocks before the pool is given
  // back. False, with no slice run, when the pool cannot be had, the count does
  // not divide among the participants the claim gave, or `prepare` refuses.
  template <typename Prepare, typename Fill, typename After>
  static bool Split(const In &in, SliceProc slice_proc, Prepare prepare, Fill fill, After after) {
    const int threads = ClaimPool();
    if (threads == 0) return false;
    const Bands bands = Divide(in, threads);
    if (!bands.Splits() || !prepare(threads)) {
      ReleasePool();
      return false;
    }
    // The non-last slices' scratch, on this frame until every slice is done.
    ScratchArea<kScratchBytes *static_cast<size_t>(kThreadCap > 1 ? kThreadCap - 1 : 0)> scratch;
    for (int k = 0; k < threads; ++k) {
      const SliceContext slice{k, threads, bands.First(k), bands.Count(k, threads), scratch.bytes};
      fill(SliceBlock(k)->bytes, SliceArgs(in, slice), slice);
    }
    RunSlices(slice_proc);
    after(threads);
    ReleasePool();
    return true;
  }

  // The split of a saved routine: each block holds the routine and its
  // slice's arguments, and the slices' results combine as the rules say.
  template <typename Routine>
  static bool Split(Routine routine, const In &in, SliceProc slice_proc, int32_t &result) {
    return Split(
        in, slice_proc, [](int) { return true; },
        [routine](unsigned char *bytes, const In &args, const SliceContext &) {
          new (bytes) Block{routine, args, 0};
        },
        [&result](int threads) { result = Combine(threads); });
  }

  static int32_t Combine(int threads) {
    if constexpr (kCombine == kSumResults) {
      uint32_t sum = 0;
      for (int k = 0; k < threads; ++k) sum += static_cast<uint32_t>(BlockOf(k)->result);
      return static_cast<int32_t>(sum);
    } else if constexpr (kCombine == kAllResults) {
      for (int k = 0; k < threads; ++k) {
        if ((BlockOf(k)->result & 0xFF) == 0) return 0;
      }
      return 1;
    } else {
      (void)threads;
      return 0;
    }
  }
};

}  // namespace split_detail

template <typename Signature, typename Count, typename... Rules>
struct RowSplit;

template <typename... Ts, typename Count, typename... Rules>
struct RowSplit<int32_t(Ts...), Count, Rules...> {
  using Signature = int32_t(Ts...);
  using Routine = int32_t (*)(Ts...);
  using Args = std::tuple<Ts...>;
  struct Block {
    Routine routine;
    Args args;
    int32_t result;
  };
  using Splitter = split_detail::Splitter<Block, Args, Count, Rules...>;

  static void SliceProc(WorkerBlock *worker_block) {
    Block *block = std::launder(reinterpret_cast<Block *>(worker_block->bytes));
    block->result = std::apply(block->routine, block->args);
  }

  // The shared splitter of every slot with this declaration.
  static int32_t Run(Routine routine, Ts... values) {
    int32_t result = 0;
    if (Splitter::Split(routine, Args{values...}, &SliceProc, result)) return result;
    return routine(values...);
  }

  // The wrapper of one slot: its saved routine, read at every call.
  template <Suite S, int Slot>
  static int32_t Entry(Ts... values) {
    return Run(reinterpret_cast<Routine>(SavedRoutine(S, Slot)), values...);
  }
};

template <typename Record, typename Count, typename... Rules>
struct RecordSplit {
  using Signature = int32_t(Ptr);
  using Routine = int32_t (*)(Ptr);
  struct Block {
    Routine routine;
    Record args;  // the slice's own copy of the record
    int32_t result;
  };
  using Splitter = split_detail::Splitter<Block, Record, Count, Rules...>;

  static void SliceProc(WorkerBlock *worker_block) {
    Block *block = std::launder(reinterpret_cast<Block *>(worker_block->bytes));
    block->result = block->routine(&block->args);
  }

  static int32_t Run(Routine routine, Ptr record) {
    if (record == nullptr) return routine(record);
    int32_t result = 0;
    if (Splitter::Split(routine, *static_cast<const Record *>(record), &SliceProc, result)) return result;
    return routine(record);
  }

  template <Suite S, int Slot>
  static int32_t Entry(Ptr record) {
    return Run(reinterpret_cast<Routine>(SavedRoutine(S, Slot)), record);
  }
};

// A declaration whose wrapper first runs `PreStep` on the calling thread with
// the caller's arguments, split or not.
template <auto PreStep, typename Declaration, typename Signature = typename Declaration::Signature>
struct WithPreStep;

template <auto PreStep, typename Declaration, typename... Ts>
struct WithPreStep<PreStep, Declaration, int32_t(Ts...)> {
  using Signature = int32_t(Ts...);
  using Routine = typename Declaration::Routine;

  static int32_t Run(Routine routine, Ts... values) {
    PreStep(values...);
    return Declaration::Run(routine, values...);
  }

  template <Suite S, int Slot>
  static int32_t Entry(Ts... values) {
    return Run(reinterpret_cast<Routine>(SavedRoutine(S, Slot)), values...);
  }
};

// ---- long argument lists ----

namespace split_detail {

template <typename T, size_t>
using Repeat = T;

template <typename Signature, typename T, typename Indices>
struct PlusArgs;

template <typename... Ts, typename T, size_t... I>
struct PlusArgs<int32_t(Ts...), T, std::index_sequence<I...>> {
  using type = int32_t(Ts..., Repeat<T, I>...);
};

}  // namespace split_detail

// The signature `Signature` with `Count` more arguments of type `T` at its end.
template <typename Signature, size_t Count, typename T>
using PlusArgs = typename split_detail::PlusArgs<Signature, T, std::make_index_sequence<Count>>::type;

}  // namespace rowfork
