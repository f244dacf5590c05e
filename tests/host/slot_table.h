// Host-level checks driven by a description of a suite's table, written from
// the host's side in the words the suite files use, so the two read side by
// side: for each row, its slots, its argument list, the count a split divides
// and what happens to the other arguments.
//
//   Row<kPntg, Slots<6, 7>, int32_t(I16, I16, I16, I16, I16, Ptr, I16, I16)>().Rows(4).Origin(2).Plane(6, 7)
//
// One description serves both kinds of check:
//
//   ExpectSlices      what each slice of a call receives, on which thread, and
//                     what the call hands back (the slots hold recording routines);
//   ExpectSameOutput  the host's working routine called once directly and
//                     once through the module's wrapper on copies of the same
//                     buffers, with guard bytes on both sides of each:
//                     buffers, guards and host state identical.
//
// TableTest runs either over every row at every thread count.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <stdexcept>
#include <utility>
#include <vector>

#include "host/call_log.h"
#include "host/host_fixture.h"
#include "host/host_suites.h"
#include "host/thread_tag.h"

namespace lumora::testing {

using Ptr = void *;
using I16 = int16_t;
using U16 = uint16_t;
using I32 = int32_t;
using U8 = uint8_t;
using Numbers = std::vector<int64_t>;

template <int... N>
struct Slots {};

template <typename T, size_t>
using Repeat = T;
template <typename Signature, typename T, typename Indices>
struct PlusArgsOf;
template <typename... Ts, typename T, size_t... I>
struct PlusArgsOf<int32_t(Ts...), T, std::index_sequence<I...>> {
  using type = int32_t(Ts..., Repeat<T, I>...);
};
// `Signature` with `Count` more arguments of type `T` at its end.
template <typename Signature, size_t Count, typename T>
using PlusArgs = typename PlusArgsOf<Signature, T, std::make_index_sequence<Count>>::type;

// Argument n (from 1) of an argument list.
inline int64_t &Arg(Numbers &args, int n) { return args[static_cast<size_t>(n - 1)]; }
inline int64_t Arg(const Numbers &args, int n) { return args[static_cast<size_t>(n - 1)]; }

// Pointer argument `plane` moves per row by `bytes` times the product of the
// stride arguments.
struct PlaneMove {
  int plane;
  std::vector<int> strides;
  bool optional = false;  // a null pointer stays null
  bool half = false;      // 16-bit elements: the offset is rounded down to even bytes
  int bytes = 1;
};
template <typename... S>
PlaneMove Plane(int p, S... strides) {
  return {p, {strides...}, false, false, 1};
}

// What the recording routines return (its low byte is not zero).
inline constexpr int32_t kRecordedResult = 0x7001;
// Stands for a scratch buffer of the splitter's own in an expected slice.
inline constexpr int64_t kOwnScratch = -1;

struct TableRow {
  uint32_t suite = 0;
  std::vector<int> slots;
  std::vector<char> kinds;  // per argument: 'p' pointer, 'h' i16, 'u' u16, 'w' i32, 'b' u8
  int32_t (*call)(Routine, const Numbers &) = nullptr;
  void (*record)(HostSuites &) = nullptr;  // puts recording routines into the row's slots
  int rows = 0;                            // the argument holding the count divided
  char count = 'r';  // 'r' rows, 'a' aligned to argument `by`, 'm' in multiples of `by`, '8' in eights
  int by = 0;
  std::vector<PlaneMove> planes;
  std::vector<int> origins, origins_back;
  int scratch = 0, scratch_bytes = 0;
  int thread_cap = 0;
  int unsplit_arg = 0;
  int64_t unsplit_value = 0;
  char results = 0;  // how a split combines the slices' results: 's' sum, 'a' all nonzero

  TableRow &Rows(int n) { return Count(n, 'r', 0); }
  TableRow &AlignedRows(int n, int stride) { return Count(n, 'a', stride); }
  TableRow &InMultiples(int n, int of) { return Count(n, 'm', of); }
  TableRow &InEights(int n) { return Count(n, '8', 0); }
  template <typename... S>
  TableRow &Plane(int p, S... s) {
    return Move(testing::Plane(p, s...));
  }
  template <typename... S>
  TableRow &ScaledPlane(int p, int bytes, S... s) {
    return Move({p, {s...}, false, false, bytes});
  }
  TableRow &Run(int p, int bytes) { return Move({p, {}, false, false, bytes}); }
  TableRow &EvenPlane(int p, int stride) { return Move({p, {stride}, false, true, 1}); }
  TableRow &Optional(PlaneMove move) { return move.optional = true, Move(std::move(move)); }
  TableRow &Origin(int o) { return origins.push_back(o), *this; }
  TableRow &OriginBack(int o) { return origins_back.push_back(o), *this; }
  TableRow &SliceScratch(int p, int bytes) { return scratch = p, scratch_bytes = bytes, *this; }
  TableRow &AtMostThreads(int cap) { return thread_cap = cap, *this; }
  TableRow &UnsplitWhenArgIs(int a, int64_t v) { return unsplit_arg = a, unsplit_value = v, *this; }
  TableRow &SumOfResults() { return results = 's', *this; }
  TableRow &AllResultsNonZero() { return results = 'a', *this; }

  int Arguments() const { return static_cast<int>(kinds.size()); }
  char Kind(int n) const { return kinds[static_cast<size_t>(n - 1)]; }
  bool IsPlane(int n) const {
    return std::any_of(planes.begin(), planes.end(), [n](const PlaneMove &m) { return m.plane == n; });
  }
  // The stride arguments, in order of first mention.
  std::vector<int> Strides() const {
    std::vector<int> strides;
    for (const PlaneMove &move : planes) {
      for (int s : move.strides) {
        if (std::find(strides.begin(), strides.end(), s) == strides.end()) strides.push_back(s);
      }
    }
    return strides;
  }

 private:
  TableRow &Count(int n, char rule, int argument) { return rows = n, count = rule, by = argument, *this; }
  TableRow &Move(PlaneMove move) { return planes.push_back(std::move(move)), *this; }
};

template <typename T>
constexpr char KindOf() {
  return std::is_pointer_v<T>     ? 'p'
         : std::is_same_v<T, I16> ? 'h'
         : std::is_same_v<T, U16> ? 'u'
         : std::is_same_v<T, I32> ? 'w'
         : std::is_same_v<T, U8>  ? 'b'
                                  : '\0';
}

template <uint32_t Suite, typename SlotList, typename Signature>
struct Described;
template <uint32_t Suite, int... N, typename... Ts>
struct Described<Suite, Slots<N...>, int32_t(Ts...)> {
  static_assert(((KindOf<Ts>() != 0) && ...), "an argument width the tables do not use");
  template <typename T>
  static T From(int64_t value) {
    if constexpr (std::is_pointer_v<T>) {
      return reinterpret_cast<T>(static_cast<intptr_t>(value));
    } else {
      return static_cast<T>(value);
    }
  }
  template <size_t... I>
  static int32_t CallWith(Routine routine, const Numbers &args, std::index_sequence<I...>) {
    return reinterpret_cast<int32_t (*)(Ts...)>(routine)(From<Ts>(args[I])...);
  }
  static int32_t Call(Routine routine, const Numbers &args) {
    return CallWith(routine, args, std::index_sequence_for<Ts...>());
  }
  static void Record(HostSuites &suites) {
    (suites.SetSlot(Suite, N, &RecordingRoutine<Suite, N, kRecordedResult, Ts...>), ...);
  }
  static TableRow Make() {
    TableRow row;
    row.suite = Suite, row.slots = {N...}, row.kinds = {KindOf<Ts>()...}, row.call = &Call,
    row.record = &Record;
    return row;
  }
};

// The row of `Suite` whose slots take `Signature`; its rules follow.
template <uint32_t Suite, typename SlotList, typename Signature>
TableRow Row() {
  return Described<Suite, SlotList, Signature>::Make();
}

// A number as an argument of this kind receives it.
inline int64_t AsKind(char kind, int64_t value) {
  return kind == 'h'   ? static_cast<int16_t>(value)
         : kind == 'u' ? static_cast<uint16_t>(value)
         : kind == 'w' ? static_cast<int32_t>(value)
         : kind == 'b' ? static_cast<uint8_t>(value)
                       : static_cast<intptr_t>(value);
}

// Puts a case into `in`: the count, the row coordinates (10 apart from
// `origin` on), and stride_of(j, argument) into the j-th stride argument.
template <typename StrideOf>
void PlaceCase(const TableRow &row, Numbers &in, int32_t rows, int16_t origin, StrideOf stride_of) {
  Arg(in, row.rows) = rows;
  int moved = 0;
  for (const auto *list : {&row.origins, &row.origins_back}) {
    for (int o : *list) Arg(in, o) = static_cast<int16_t>(origin + 10 * moved++);
  }
  const std::vector<int> strides = row.Strides();
  for (size_t j = 0; j < strides.size(); ++j) Arg(in, strides[j]) = stride_of(j, strides[j]);
}

// ---- what each slice receives ----

// The arguments of every slice of a split over `threads` participants, the
// last slice's last, when the caller passes `in`; `in` alone when the call
// runs unsplit.
inline std::vector<Numbers> ExpectedSlices(const TableRow &row, const Numbers &in, int threads) {
  const int64_t count = Arg(in, row.rows);
  int64_t per_slice = count / threads;
  if (row.count == 'a' && Arg(in, row.by) != 0) per_slice -= per_slice % Arg(in, row.by);
  if (row.count == 'm') per_slice -= per_slice % row.by;
  if (row.count == '8') per_slice = count < 9 ? 0 : std::max<int64_t>(per_slice / 8 * 8, 8);
  const int64_t last = count - (threads - 1) * per_slice;
  if (per_slice <= 0 || last <= 0 || (row.thread_cap != 0 && threads > row.thread_cap) ||
      (row.unsplit_arg != 0 && Arg(in, row.unsplit_arg) == row.unsplit_value)) {
    return {in};
  }
  std::vector<Numbers> slices;
  for (int k = 0; k < threads; ++k) {
    const int64_t first = k * per_slice;
    Numbers &args = slices.emplace_back(in);
    Arg(args, row.rows) = AsKind(row.Kind(row.rows), k == threads - 1 ? last : per_slice);
    for (const PlaneMove &move : row.planes) {
      if (move.optional && Arg(in, move.plane) == 0) continue;
      int64_t offset = first * move.bytes;
      for (int s : move.strides) offset *= Arg(in, s);
      Arg(args, move.plane) = AsKind('p', Arg(in, move.plane) + (move.half ? (offset >> 1) * 2 : offset));
    }
    for (int o : row.origins) Arg(args, o) = AsKind('h', Arg(in, o) + first);
    for (int o : row.origins_back) Arg(args, o) = AsKind('h', Arg(in, o) - first);
    if (row.scratch != 0 && k < threads - 1) Arg(args, row.scratch) = kOwnScratch;
  }
  return slices;
}

struct SliceCase {
  int32_t rows;
  int16_t origin;
  int16_t stride;
  bool null_optional = false;  // optional planes passed as null
};

// Even and odd counts, negative strides and origins, an origin that wraps at
// 16 bits, counts that do not split (below every thread count from 2, below
// 3, negative: as an unsigned 16-bit count, 65,535), a hundred, and one
// beyond 16 bits (4,465 as a 16-bit count).
inline const SliceCase kSliceCases[] = {
    {10, 100, 40},    {9, -8, -24}, {31, 32760, 7}, {8, -32768, -16, true}, {1, 5, 16},
    {2, 3, 16, true}, {-1, 0, 16},  {100, 7, -24},  {70001, -5, 3}};

// Distinct values for every argument, the case's for the count, the origins
// and the strides (a 32-bit stride beyond 16 bits), each as its argument
// receives it.
inline Numbers SliceInput(const TableRow &row, const SliceCase &c) {
  Numbers in(static_cast<size_t>(row.Arguments()));
  for (int i = 1; i <= row.Arguments(); ++i) {
    const char kind = row.Kind(i);
    Arg(in, i) = kind == 'p'   ? 0x10000000 + int64_t{i} * 0x01000000
                 : kind == 'h' ? (i % 2 == 1 ? -1 : 1) * (100 + 7 * i)
                 : kind == 'w' ? 0x12340000 + i
                               : 0xF0 + i;
  }
  PlaceCase(row, in, c.rows, c.origin, [&](size_t j, int argument) {
    return int64_t{c.stride} * static_cast<int64_t>(j + 1) * (j % 2 == 1 ? -1 : 1) *
           (row.Kind(argument) == 'w' ? 4099 : 1);
  });
  for (const PlaneMove &move : row.planes) {
    if (move.optional && c.null_optional) Arg(in, move.plane) = 0;
  }
  if (row.count == 'a') Arg(in, row.by) = c.stride / 8;  // small enough to let most cases split
  for (int i = 1; i <= row.Arguments(); ++i) Arg(in, i) = AsKind(row.Kind(i), Arg(in, i));
  return in;
}

// Calls every slot of `row` through `table` and checks that the slices
// received exactly the arguments of ExpectedSlices, each from its own slot's
// saved routine, the last slice on the calling thread and the others not,
// every slice but the last with a scratch buffer of its own (side by side),
// and that the call handed back the routine's result unsplit, and split none
// but what the row combines.
inline void ExpectSlices(const TableRow &row, Routine *table, const SliceCase &c, int threads) {
  const Numbers in = SliceInput(row, c);
  std::vector<Numbers> expected = ExpectedSlices(row, in, threads);
  const Numbers last = expected.back();
  const auto split = static_cast<uint32_t>(expected.size());
  const int32_t result = split == 1           ? kRecordedResult
                         : row.results == 's' ? static_cast<int32_t>(split * uint32_t{kRecordedResult})
                                              : int32_t{row.results == 'a'};
  std::sort(expected.begin(), expected.end());
  for (int slot : row.slots) {
    SCOPED_TRACE(::testing::Message() << "slot " << slot << ", count " << c.rows << ", origin " << c.origin
                                      << ", stride " << c.stride << (c.null_optional ? ", null planes" : ""));
    CallLog::Clear();
    EXPECT_EQ(row.call(table[slot], in), result);
    std::vector<Numbers> received, on_caller;
    std::vector<int64_t> scratch;
    for (RecordedCall &call : CallLog::Take()) {
      EXPECT_EQ(std::pair(call.suite, call.slot), std::pair(row.suite, slot))
          << "its own slot's saved routine";
      if (row.scratch != 0 && Arg(call.args, row.scratch) != Arg(in, row.scratch)) {
        scratch.push_back(std::exchange(Arg(call.args, row.scratch), kOwnScratch));
      }
      received.push_back(call.args);
      if (call.thread == CurrentThreadTag()) on_caller.push_back(call.args);
    }
    std::sort(received.begin(), received.end());
    EXPECT_EQ(received, expected);
    EXPECT_EQ(on_caller, std::vector<Numbers>{last}) << "the last slice, and only it, runs on the caller";
    std::sort(scratch.begin(), scratch.end());
    for (size_t k = 1; k < scratch.size(); ++k) EXPECT_EQ(scratch[k] - scratch[k - 1], row.scratch_bytes);
  }
}

// ---- split output against unsplit output ----

// Random bytes with guard bytes on both sides, so that a slice writing
// outside its band shows up as a difference from the unsplit run.
class GuardedBuffer {
 public:
  static constexpr size_t kGuard = 64;
  GuardedBuffer(size_t bytes, uint32_t seed) : bytes_(bytes + 2 * kGuard) {
    uint64_t state = seed * 0x9E3779B97F4A7C15u + 1;  // a 64-bit congruential sequence, top bytes kept
    for (uint8_t &byte : bytes_)
      byte = static_cast<uint8_t>((state = state * 6364136223846793005u + 1) >> 56);
  }
  // The first byte past the front guard.
  uint8_t *Data() { return bytes_.data() + kGuard; }
  // Row 0 of a plane of `rows` rows at `stride` bytes that fills the buffer
  // from its start: for a negative stride, row 0 is the last in memory.
  uint8_t *PlaneStart(int rows, int stride) {
    return Data() + (stride < 0 ? static_cast<ptrdiff_t>(rows - 1) * -stride : 0);
  }
  size_t Size() const { return bytes_.size() - 2 * kGuard; }
  bool operator==(const GuardedBuffer &other) const { return bytes_ == other.bytes_; }  // guards included

 private:
  std::vector<uint8_t> bytes_;
};

// The bytes a plane of `rows` rows at `stride` needs.
inline size_t PlaneBytes(int rows, int stride) {
  return static_cast<size_t>(rows) * static_cast<size_t>(std::abs(stride));
}

struct OutputCase {
  int16_t rows;
  int16_t origin;
  int16_t stride;              // of the first stride argument; a second has the other sign
  bool null_optional = false;  // optional planes passed as null
};

// Odd and tiny row counts, and enough rows for a split whose rows per slice
// are cut to a multiple of a stride; both signs of stride; origins below 0
// (with optional planes null) and one that wraps at 16 bits within the call.
inline std::vector<OutputCase> OutputCases() {
  std::vector<OutputCase> cases;
  for (int rows : {1, 2, 3, 7, 8, 9, 31, 100}) {
    for (int stride : {16, -24}) {
      for (int origin : {-40, 32750}) {
        cases.push_back(
            {static_cast<I16>(rows), static_cast<I16>(origin), static_cast<I16>(stride), origin < 0});
      }
    }
  }
  return cases;
}

// One call of a row on random buffers, made as often as wanted on fresh
// copies of them: a plane for every plane argument, and for every other
// pointer a table of 256 bytes (indexed by a byte) or its scratch buffer.
struct OutputCall {
  OutputCall(const TableRow &described, const OutputCase &c) : row(&described), rows(c.rows) {
    in.resize(static_cast<size_t>(row->Arguments()));
    for (int i = 1; i <= row->Arguments(); ++i) Arg(in, i) = row->Kind(i) == 'p' ? 0 : 1 + i % 8;
    PlaceCase(*row, in, c.rows, c.origin, [&](size_t j, int) -> int64_t {
      return j % 2 == 0 ? c.stride : -(c.stride + (c.stride > 0 ? 8 : -8));
    });
    for (const PlaneMove &move : row->planes) {
      if (move.optional && c.null_optional) continue;
      int64_t stride = move.bytes;
      for (int s : move.strides) stride *= Arg(in, s);
      Add(move.plane, static_cast<int>(stride), PlaneBytes(c.rows, static_cast<int>(stride)));
    }
    for (int i = 1; i <= row->Arguments(); ++i) {
      if (row->Kind(i) == 'p' && !row->IsPlane(i))
        Add(i, 0, static_cast<size_t>(i == row->scratch ? row->scratch_bytes : 256));
    }
  }
  // The arguments, with the pointers pointed into `buffers` (copies of `planes`).
  Numbers ArgsFor(std::vector<GuardedBuffer> &buffers) const {
    Numbers args = in;
    for (size_t m = 0; m < buffers.size(); ++m) {
      Arg(args, at[m]) = reinterpret_cast<intptr_t>(buffers[m].PlaneStart(rows, strides[m]));
    }
    return args;
  }

  const TableRow *row;
  int16_t rows;
  Numbers in;
  std::vector<GuardedBuffer> planes;  // every buffer of the call, as it is before the call
  std::vector<int> at;                // the argument of each
  std::vector<int> strides;           // its row stride in bytes, 0 for a table

 private:
  void Add(int argument, int stride, size_t bytes) {
    planes.emplace_back(bytes, 100 + static_cast<uint32_t>(planes.size()));
    at.push_back(argument);
    strides.push_back(stride);
  }
};

// Calls every slot of `row` on copies of the same random buffers, once through
// the host's routine in `direct` and once through the module's wrapper in
// `wrapped`: buffers (guards included) and the host's own memory `state`
// must agree, and so must the results where the row combines them (elsewhere
// a split hands back none).
inline void ExpectSameOutput(const TableRow &row, Routine *wrapped, Routine *direct, const OutputCase &c,
                             std::span<uint8_t> state = {}) {
  const OutputCall call(row, c);
  // The longest calls are for rows per slice cut to a multiple of a stride,
  // which planes of a megabyte and more do not need.
  for (const GuardedBuffer &buffer : call.planes) {
    if (c.rows > 31 && buffer.Size() > size_t{1} << 20) return;
  }
  const std::vector<uint8_t> initial_state(state.begin(), state.end());
  for (int slot : row.slots) {
    SCOPED_TRACE(::testing::Message() << "slot " << slot << ", rows " << c.rows << ", origin " << c.origin
                                      << ", stride " << c.stride);
    std::vector<GuardedBuffer> unsplit = call.planes, split = call.planes;
    std::copy(initial_state.begin(), initial_state.end(), state.begin());
    const int32_t expected = row.call(direct[slot], call.ArgsFor(unsplit));
    const std::vector<uint8_t> expected_state(state.begin(), state.end());
    std::copy(initial_state.begin(), initial_state.end(), state.begin());
    const int32_t result = row.call(wrapped[slot], call.ArgsFor(split));
    EXPECT_TRUE(split == unsplit) << "the buffers";
    EXPECT_TRUE(std::equal(state.begin(), state.end(), expected_state.begin())) << "the host's own memory";
    EXPECT_TRUE(row.results == 0 || result == expected) << "the result of one call over all rows";
  }
}

// ---- a fixture for a whole table ----

// Recording routines in every slot of the table `Rows`.
template <const auto &Rows>
void RecordTable(HostSuites &suites) {
  for (const TableRow &row : Rows) row.record(suites);
}

// The fixture of one table, `Rows`: its slots hold recording routines, or
// with `Put` the host's working routines, from every fresh start of the host.
template <const auto &Rows, void (*Put)(HostSuites &) = &RecordTable<Rows>>
class TableTest : public ModuleTest {
 protected:
  void PrepareSuites() override { Put(*suites); }
  // Every slice's arguments of one call of `slot` through the live table, in order.
  std::vector<Numbers> Slices(int slot, const Numbers &args) {
    const auto holds = [slot](const TableRow &row) {
      return std::find(row.slots.begin(), row.slots.end(), slot) != row.slots.end();
    };
    const auto row = std::find_if(std::begin(Rows), std::end(Rows), holds);
    if (row == std::end(Rows)) throw std::logic_error("no such slot");
    CallLog::Clear();
    row->call(suites->Table(row->suite)[slot], args);
    std::vector<Numbers> slices;
    for (const RecordedCall &call : CallLog::Take()) slices.push_back(call.args);
    std::sort(slices.begin(), slices.end());
    return slices;
  }
  void ExpectEverySlice() {
    AtEachThreadCount([&](int threads) {
      for (const TableRow &row : Rows) {
        for (const SliceCase &c : kSliceCases) ExpectSlices(row, suites->Table(row.suite), c, threads);
      }
    });
  }
  void ExpectEveryOutput(std::span<uint8_t> state = {}) {
    AtEachThreadCount([&](int) {
      HostSuites reference;  // the same routines, called directly
      Put(reference);
      for (const TableRow &row : Rows) {
        for (const OutputCase &c : OutputCases()) {
          ExpectSameOutput(row, suites->Table(row.suite), reference.Table(row.suite), c, state);
        }
      }
    });
  }
};

}  // namespace lumora::testing
