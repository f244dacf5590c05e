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
//                     buffers: buffers, guards, host state and result identical.
//
// TableTest runs either over every row at every thread count.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <utility>
#include <vector>

#include "host/call_log.h"
#include "host/guarded_buffer.h"
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

namespace slot_table_detail {
template <typename T, size_t>
using Repeat = T;
template <typename Signature, typename T, typename Indices>
struct PlusArgs;
template <typename... Ts, typename T, size_t... I>
struct PlusArgs<int32_t(Ts...), T, std::index_sequence<I...>> {
  using type = int32_t(Ts..., Repeat<T, I>...);
};
}  // namespace slot_table_detail

// `Signature` with `Count` more arguments of type `T` at its end.
template <typename Signature, size_t Count, typename T>
using PlusArgs =
    typename slot_table_detail::PlusArgs<Signature, T, std::make_index_sequence<Count>>::type;

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
template <typename... S>
PlaneMove ScaledPlane(int p, int bytes, S... strides) {
  return {p, {strides...}, false, false, bytes};
}
inline PlaneMove Run(int p, int bytes) { return {p, {}, false, false, bytes}; }
inline PlaneMove EvenPlane(int p, int stride) { return {p, {stride}, false, true, 1}; }
inline PlaneMove Optional(PlaneMove move) {
  move.optional = true;
  return move;
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
  TableRow &Plane(int p, S... s) { return Move(testing::Plane(p, s...)); }
  template <typename... S>
  TableRow &ScaledPlane(int p, int bytes, S... s) { return Move(testing::ScaledPlane(p, bytes, s...)); }
  TableRow &Run(int p, int bytes) { return Move(testing::Run(p, bytes)); }
  TableRow &EvenPlane(int p, int stride) { return Move(testing::EvenPlane(p, stride)); }
  TableRow &Optional(PlaneMove move) { return Move(testing::Optional(std::move(move))); }
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

namespace slot_table_detail {

template <typename T>
constexpr char KindOf() {
  if constexpr (std::is_pointer_v<T>) return 'p';
  if constexpr (std::is_same_v<T, int16_t>) return 'h';
  if constexpr (std::is_same_v<T, uint16_t>) return 'u';
  if constexpr (std::is_same_v<T, int32_t>) return 'w';
  if constexpr (std::is_same_v<T, uint8_t>) return 'b';
  return 0;
}

template <typename T>
T FromNumber(int64_t value) {
  if constexpr (std::is_pointer_v<T>) {
    return reinterpret_cast<T>(static_cast<intptr_t>(value));
  } else {
    return static_cast<T>(value);
  }
}

template <uint32_t Suite, typename SlotList, typename Signature>
struct Described;

template <uint32_t Suite, int... N, typename... Ts>
struct Described<Suite, Slots<N...>, int32_t(Ts...)> {
  static_assert(((KindOf<Ts>() != 0) && ...), "an argument width the tables do not use");
  template <size_t... I>
  static int32_t CallWith(Routine routine, const Numbers &args, std::index_sequence<I...>) {
    return reinterpret_cast<int32_t (*)(Ts...)>(routine)(FromNumber<Ts>(args[I])...);
  }
  static int32_t Call(Routine routine, const Numbers &args) {
    return CallWith(routine, args, std::index_sequence_for<Ts...>());
  }
  static void Record(HostSuites &suites) {
    (suites.SetSlot(Suite, N, &RecordingRoutine<Suite, N, kRecordedResult, Ts...>), ...);
  }
  static TableRow Make() {
    TableRow row;
    row.suite = Suite, row.slots = {N...}, row.kinds = {KindOf<Ts>()...}, row.call = &Call, row.record = &Record;
    return row;
  }
};

}  // namespace slot_table_detail

// The row of `Suite` whose slots take `Signature`; its rules follow.
template <uint32_t Suite, typename SlotList, typename Signature>
TableRow Row() {
  return slot_table_detail::Described<Suite, SlotList, Signature>::Make();
}

// A number as an argument of this kind receives it.
inline int64_t AsKind(char kind, int64_t value) {
  switch (kind) {
    case 'h': return static_cast<int16_t>(value);
    case 'u': return static_cast<uint16_t>(value);
    case 'w': return static_cast<int32_t>(value);
    case 'b': return static_cast<uint8_t>(value);
    default: return static_cast<intptr_t>(value);
  }
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
    Numbers args = in;
    Arg(args, row.rows) = AsKind(row.Kind(row.rows), k == threads - 1 ? last : per_slice);
    for (const PlaneMove &move : row.planes) {
      if (move.optional && Arg(in, move.plane) == 0) continue;
      int64_t offset = first * move.bytes;
      for (int s : move.strides) offset *= Arg(in, s);
      if (move.half) offset = (offset >> 1) * 2;
      Arg(args, move.plane) = AsKind('p', Arg(in, move.plane) + offset);
    }
    for (int o : row.origins) Arg(args, o) = AsKind('h', Arg(in, o) + first);
    for (int o : row.origins_back) Arg(args, o) = AsKind('h', Arg(in, o) - first);
    if (row.scratch != 0 && k < threads - 1) Arg(args, row.scratch) = kOwnScratch;
    slices.push_back(std::move(args));
  }
  return slices;
}

// What a call of recording routines hands back, split in `slices` or not.
inline int32_t ExpectedResult(const TableRow &row, size_t slices) {
  if (slices == 1) return kRecordedResult;
  if (row.results == 's') return static_cast<int32_t>(static_cast<uint32_t>(kRecordedResult) * slices);
  return row.results == 'a' ? 1 : 0;
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
inline const SliceCase kSliceCases[] = {{10, 100, 40},  {9, -8, -24},     {31, 32760, 7},
                                        {8, -32768, -16, true}, {1, 5, 16}, {2, 3, 16, true},
                                        {-1, 0, 16},    {100, 7, -24},    {70001, -5, 3}};

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
  // An alignment small enough to let most cases split.
  if (row.count == 'a') Arg(in, row.by) = c.stride / 8;
  for (int i = 1; i <= row.Arguments(); ++i) Arg(in, i) = AsKind(row.Kind(i), Arg(in, i));
  return in;
}

// Calls every slot of `row` through `table` and checks that the slices
// received exactly the arguments of ExpectedSlices, each from its own slot's
// saved routine, the last slice on the calling thread and the others not,
// every slice but the last with a scratch buffer of its own, and that the
// call handed back what the row says.
inline void ExpectSlices(const TableRow &row, Routine *table, const SliceCase &c, int threads) {
  const Numbers in = SliceInput(row, c);
  std::vector<Numbers> expected = ExpectedSlices(row, in, threads);
  const Numbers last = expected.back();
  std::sort(expected.begin(), expected.end());
  for (int slot : row.slots) {
    SCOPED_TRACE(::testing::Message() << "slot " << slot << ", count " << c.rows << ", origin " << c.origin
                                      << ", stride " << c.stride << (c.null_optional ? ", null planes" : ""));
    CallLog::Clear();
    EXPECT_EQ(row.call(table[slot], in), ExpectedResult(row, expected.size()));
    std::vector<Numbers> received, on_caller;
    std::vector<int64_t> scratch;
    for (RecordedCall &call : CallLog::Take()) {
      EXPECT_EQ(call.suite, row.suite);
      EXPECT_EQ(call.slot, slot) << "each slot calls its own saved routine";
      if (row.scratch != 0 && Arg(call.args, row.scratch) != Arg(in, row.scratch)) {
        scratch.push_back(Arg(call.args, row.scratch));
        Arg(call.args, row.scratch) = kOwnScratch;
      }
      received.push_back(call.args);
      if (call.thread == CurrentThreadTag()) on_caller.push_back(call.args);
    }
    std::sort(received.begin(), received.end());
    EXPECT_EQ(received, expected);
    EXPECT_EQ(on_caller, std::vector<Numbers>{last}) << "the last slice, and only it, runs on the caller";
    std::sort(scratch.begin(), scratch.end());
    for (size_t k = 1; k < scratch.size(); ++k) {
      EXPECT_EQ(scratch[k] - scratch[k - 1], row.scratch_bytes) << "scratch buffers side by side";
    }
  }
}

// ---- split output against unsplit output ----

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
        cases.push_back({static_cast<int16_t>(rows), static_cast<int16_t>(origin),
                         static_cast<int16_t>(stride), origin < 0});
      }
    }
  }
  return cases;
}

// Memory of the host's that routines write besides their arguments' buffers.
struct HostState {
  uint8_t *bytes = nullptr;
  size_t size = 0;
  std::vector<uint8_t> Copy() const { return std::vector<uint8_t>(bytes, bytes + size); }
};

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
      if (row->Kind(i) == 'p' && !row->IsPlane(i)) Add(i, 0, static_cast<size_t>(i == row->scratch ? row->scratch_bytes : 256));
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
  std::vector<GuardedBuffer> planes;  // as they are before the call, every buffer of the call
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
// `wrapped`: buffers (guards included) and host state must agree, and so must
// the results where the row combines them (elsewhere a split hands back none).
inline void ExpectSameOutput(const TableRow &row, Routine *wrapped, Routine *direct, const OutputCase &c,
                             HostState state = {}) {
  const OutputCall call(row, c);
  // The longest calls are for rows per slice cut to a multiple of a stride,
  // which planes of a megabyte and more do not need.
  for (const GuardedBuffer &buffer : call.planes) {
    if (c.rows > 31 && buffer.Size() > size_t{1} << 20) return;
  }
  const std::vector<uint8_t> initial_state = state.Copy();
  for (int slot : row.slots) {
    SCOPED_TRACE(::testing::Message() << "slot " << slot << ", rows " << c.rows << ", origin " << c.origin
                                      << ", stride " << c.stride);
    std::vector<GuardedBuffer> unsplit = call.planes, split = call.planes;
    std::copy(initial_state.begin(), initial_state.end(), state.bytes);
    const int32_t expected = row.call(direct[slot], call.ArgsFor(unsplit));
    const std::vector<uint8_t> expected_state = state.Copy();
    std::copy(initial_state.begin(), initial_state.end(), state.bytes);
    const int32_t result = row.call(wrapped[slot], call.ArgsFor(split));
    if (row.results != 0) {
      EXPECT_EQ(result, expected) << "the result of one call over all rows";
    }
    EXPECT_TRUE(split == unsplit) << "the buffers";
    EXPECT_TRUE(state.Copy() == expected_state) << "the host's own memory";
  }
}

// ---- a fixture for a whole table ----

// The described rows' slots hold recording routines (no `put`) or the host's
// working routines (`put`), from every fresh start of the host.
class TableTest : public ModuleTest {
 protected:
  TableTest(std::span<const TableRow> rows, void (*put)(HostSuites &)) : rows_(rows), put_(put) {}

  void PrepareSuites() override {
    if (put_ != nullptr) return put_(*suites);
    for (const TableRow &row : rows_) row.record(*suites);
  }
  // The described row that holds `slot`.
  const TableRow &RowOf(int slot) const {
    for (const TableRow &row : rows_) {
      if (std::find(row.slots.begin(), row.slots.end(), slot) != row.slots.end()) return row;
    }
    throw std::logic_error("no such slot");
  }
  // Every slice's arguments of one call of `slot` through the live table, in order.
  std::vector<Numbers> Slices(int slot, const Numbers &args) {
    const TableRow &row = RowOf(slot);
    CallLog::Clear();
    row.call(suites->Table(row.suite)[slot], args);
    std::vector<Numbers> slices;
    for (const RecordedCall &call : CallLog::Take()) slices.push_back(call.args);
    std::sort(slices.begin(), slices.end());
    return slices;
  }
  void ExpectEverySlice() {
    AtEachThreadCount([&](int threads) {
      for (const TableRow &row : rows_) {
        for (const SliceCase &c : kSliceCases) ExpectSlices(row, suites->Table(row.suite), c, threads);
      }
    });
  }
  void ExpectEveryOutput(HostState state = {}) {
    AtEachThreadCount([&](int) {
      HostSuites reference;  // the same routines, called directly
      put_(reference);
      for (const TableRow &row : rows_) {
        for (const OutputCase &c : OutputCases()) {
          ExpectSameOutput(row, suites->Table(row.suite), reference.Table(row.suite), c, state);
        }
      }
    });
  }

 private:
  std::span<const TableRow> rows_;
  void (*put_)(HostSuites &);
};

}  // namespace lumora::testing
