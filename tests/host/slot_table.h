// Host-level checks driven by a description of a suite's table, written from
// the host's side: for each row, its slots, its argument list, the count a
// split divides and what happens to the other arguments. One description
// serves both kinds of check:
//
//   ExpectSlices      what each slice of a call receives, and on which thread
//                     (the slots hold recording routines);
//   ExpectSameOutput  the host's working routine called once directly and
//                     once through the module's wrapper on copies of the same
//                     planes: planes, guards, host state and result identical.
//
//   const TableRow row = Describe<kPntg, int32_t(I16, I16, I16, I16, I16, Ptr, I16, I16), 6, 7>(4)
//                            .Origin(2).Plane(6, {7});
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
using I32 = int32_t;
using U8 = uint8_t;
using Numbers = std::vector<int64_t>;

// Argument n (from 1) of an argument list.
inline int64_t &Arg(Numbers &args, int n) { return args[static_cast<size_t>(n - 1)]; }
inline int64_t Arg(const Numbers &args, int n) { return args[static_cast<size_t>(n - 1)]; }

// Argument `plane` moves by `bytes` times the product of the stride arguments
// per row.
struct PlaneMove {
  int plane;
  std::vector<int> strides;
  bool optional;      // a null plane stays null
  bool half = false;  // 16-bit elements: the offset is rounded down to even bytes
  int bytes = 1;
};

struct TableRow {
  uint32_t suite = 0;
  std::vector<int> slots;
  std::vector<char> kinds;  // per argument: 'p' pointer, 'h' 16-bit, 'w' 32-bit, 'b' 8-bit
  int32_t (*call)(Routine, const Numbers &) = nullptr;
  void (*record)(HostSuites &) = nullptr;  // puts recording routines into the row's slots
  int rows = 0;                            // the argument that counts the rows
  std::vector<PlaneMove> planes;
  std::vector<int> origins;       // row coordinates that move down with the slice
  std::vector<int> origins_back;  // row coordinates less the rows before the slice
  int aligned_to = 0;             // rows per slice are cut to a multiple of this argument
  int multiple = 1;               // rows per slice are cut to a multiple of this (a power of two)

  TableRow Plane(int plane, std::vector<int> strides) && {
    planes.push_back({plane, std::move(strides), false});
    return std::move(*this);
  }
  // Several planes at one stride argument.
  TableRow Planes(std::initializer_list<int> each, int stride) && {
    for (int plane : each) planes.push_back({plane, {stride}, false});
    return std::move(*this);
  }
  TableRow OptionalPlane(int plane, std::vector<int> strides) && {
    planes.push_back({plane, std::move(strides), true});
    return std::move(*this);
  }
  // A plane of 16-bit elements whose stride argument counts bytes.
  TableRow HalfPlane(int plane, int stride) && {
    planes.push_back({plane, {stride}, false, true});
    return std::move(*this);
  }
  // A plane whose row stride is `bytes` times the stride arguments: a row
  // length in units of `bytes`, or with no stride arguments a per-row table
  // (or run) of `bytes` an entry.
  TableRow Scaled(int plane, int bytes, std::vector<int> strides = {}) && {
    planes.push_back({plane, std::move(strides), false, false, bytes});
    return std::move(*this);
  }
  TableRow AlignedTo(int argument) && {
    aligned_to = argument;
    return std::move(*this);
  }
  TableRow InMultiples(int of) && {
    multiple = of;
    return std::move(*this);
  }
  TableRow Origin(int argument) && {
    origins.push_back(argument);
    return std::move(*this);
  }
  TableRow OriginBack(int argument) && {
    origins_back.push_back(argument);
    return std::move(*this);
  }
  int Arguments() const { return static_cast<int>(kinds.size()); }
  char Kind(int n) const { return kinds[static_cast<size_t>(n - 1)]; }
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
};

namespace slot_table_detail {

template <typename T>
constexpr char KindOf() {
  if constexpr (std::is_pointer_v<T>) return 'p';
  if constexpr (std::is_same_v<T, int16_t>) return 'h';
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

template <uint32_t Suite, typename Signature, int... Slots>
struct Shape;

template <uint32_t Suite, typename... Ts, int... Slots>
struct Shape<Suite, int32_t(Ts...), Slots...> {
  static_assert(((KindOf<Ts>() != 0) && ...), "an argument width the tables do not use");
  template <size_t... I>
  static int32_t CallWith(Routine routine, const Numbers &args, std::index_sequence<I...>) {
    return reinterpret_cast<int32_t (*)(Ts...)>(routine)(FromNumber<Ts>(args[I])...);
  }
  static int32_t Call(Routine routine, const Numbers &args) {
    return CallWith(routine, args, std::index_sequence_for<Ts...>());
  }
  static void Record(HostSuites &suites) {
    (suites.SetSlot(Suite, Slots, &RecordingRoutine<Suite, Slots, 0, Ts...>), ...);
  }
  static std::vector<char> Kinds() { return {KindOf<Ts>()...}; }
};

}  // namespace slot_table_detail

// The row of `Suite` whose slots `Slots` take `Signature`, dividing argument `rows`.
template <uint32_t Suite, typename Signature, int... Slots>
TableRow Describe(int rows) {
  using Shape = slot_table_detail::Shape<Suite, Signature, Slots...>;
  TableRow row;
  row.suite = Suite;
  row.slots = {Slots...};
  row.kinds = Shape::Kinds();
  row.call = &Shape::Call;
  row.record = &Shape::Record;
  row.rows = rows;
  return row;
}

// Puts a case into `in`: the row count, the row coordinates (10 apart from
// `origin` on), and stride_of(j, argument) into the j-th stride argument.
template <typename StrideOf>
void PlaceCase(const TableRow &row, Numbers &in, int16_t rows, int16_t origin, StrideOf stride_of) {
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
// does not split.
inline std::vector<Numbers> ExpectedSlices(const TableRow &row, const Numbers &in, int threads) {
  const auto rows = static_cast<int32_t>(Arg(in, row.rows));
  int32_t per_slice = rows / threads;
  per_slice -= per_slice % row.multiple;
  if (row.aligned_to != 0) {
    const auto modulus = static_cast<int32_t>(Arg(in, row.aligned_to));
    if (modulus != 0) per_slice -= per_slice % modulus;
  }
  if (per_slice <= 0) return {in};
  std::vector<Numbers> slices;
  for (int k = 0; k < threads; ++k) {
    const int64_t first = int64_t{k} * per_slice;
    Numbers args = in;
    Arg(args, row.rows) = k == threads - 1 ? rows - (threads - 1) * per_slice : per_slice;
    for (const PlaneMove &move : row.planes) {
      if (move.optional && Arg(in, move.plane) == 0) continue;
      int64_t offset = first * move.bytes;
      for (int s : move.strides) offset *= Arg(in, s);
      if (move.half) offset = (offset >> 1) * 2;
      // Wrapped at the target's pointer width.
      Arg(args, move.plane) = static_cast<intptr_t>(Arg(in, move.plane) + offset);
    }
    for (int o : row.origins) Arg(args, o) = static_cast<int16_t>(Arg(in, o) + first);
    for (int o : row.origins_back) Arg(args, o) = static_cast<int16_t>(Arg(in, o) - first);
    slices.push_back(std::move(args));
  }
  return slices;
}

struct SliceCase {
  int16_t rows;
  int16_t origin;
  int16_t stride;
  bool null_optional = false;  // optional planes passed as null
};

// Even and odd row counts, negative strides and origins, an origin that
// wraps at 16 bits, and counts that do not split (below every thread count
// from 2, below 3, negative).
inline const SliceCase kSliceCases[] = {
    {10, 100, 40}, {9, -8, -24},     {31, 32760, 7}, {8, -32768, -16, true},
    {1, 5, 16},    {2, 3, 16, true}, {-5, 0, 16}};

// Distinct values for every argument, the case's for the row count, the
// origins and the strides (a 32-bit stride beyond 16 bits).
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
  // An alignment small enough to let most cases split: 5, -3, 0, -2 and 2.
  if (row.aligned_to != 0) Arg(in, row.aligned_to) = c.stride / 8;
  return in;
}

// Calls every slot of `row` through `table` and checks that the slices
// received exactly the arguments of ExpectedSlices, each from its own slot's
// saved routine, the last slice on the calling thread and the others not.
inline void ExpectSlices(const TableRow &row, Routine *table, const SliceCase &c, int threads) {
  const Numbers in = SliceInput(row, c);
  std::vector<Numbers> expected = ExpectedSlices(row, in, threads);
  const Numbers last = expected.back();
  std::sort(expected.begin(), expected.end());
  for (int slot : row.slots) {
    SCOPED_TRACE(::testing::Message() << "slot " << slot << ", rows " << c.rows << ", origin " << c.origin
                                      << ", stride " << c.stride << (c.null_optional ? ", null planes" : ""));
    CallLog::Clear();
    row.call(table[slot], in);
    std::vector<Numbers> received;
    std::vector<Numbers> on_caller;
    for (const RecordedCall &call : CallLog::Take()) {
      EXPECT_EQ(call.suite, row.suite);
      EXPECT_EQ(call.slot, slot) << "each slot calls its own saved routine";
      received.push_back(call.args);
      if (call.thread == CurrentThreadTag()) on_caller.push_back(call.args);
    }
    std::sort(received.begin(), received.end());
    EXPECT_EQ(received, expected);
    EXPECT_EQ(on_caller, std::vector<Numbers>{last}) << "the last slice, and only it, runs on the caller";
  }
}

// ---- split output against unsplit output ----

struct OutputCase {
  int16_t rows;
  int16_t origin;
  int16_t stride;  // of the first stride argument; a second has the other sign
};

// Odd and tiny row counts, both signs of stride, origins below 0 and one
// that wraps at 16 bits within the call.
inline std::vector<OutputCase> OutputCases() {
  std::vector<OutputCase> cases;
  for (int rows : {1, 2, 3, 7, 8, 9, 31}) {
    for (int stride : {16, -24}) {
      for (int origin : {-40, 32750}) {
        cases.push_back(
            {static_cast<int16_t>(rows), static_cast<int16_t>(origin), static_cast<int16_t>(stride)});
      }
    }
  }
  return cases;
}

// Memory of the host's that routines write besides their planes.
struct HostState {
  uint8_t *bytes = nullptr;
  size_t size = 0;
  std::vector<uint8_t> Copy() const { return std::vector<uint8_t>(bytes, bytes + size); }
};

// One call of a row on random planes, made as often as wanted on fresh
// copies of them.
struct OutputCall {
  OutputCall(const TableRow &described, const OutputCase &c) : row(&described), rows(c.rows) {
    in.resize(static_cast<size_t>(row->Arguments()));
    for (int i = 1; i <= row->Arguments(); ++i) {
      Arg(in, i) = row->Kind(i) == 'w' ? static_cast<int32_t>(0x01000193u * static_cast<uint32_t>(i))
                                       : (i * 37 + 11) % 200;
    }
    PlaceCase(*row, in, c.rows, c.origin, [&](size_t j, int) -> int64_t {
      return j % 2 == 0 ? c.stride : -(c.stride + (c.stride > 0 ? 8 : -8));
    });
    for (const PlaneMove &move : row->planes) {
      int64_t stride = move.bytes;
      for (int s : move.strides) stride *= Arg(in, s);
      strides.push_back(static_cast<int>(stride));
      planes.emplace_back(PlaneBytes(c.rows, strides.back()), 100 + static_cast<uint32_t>(planes.size()));
    }
  }

  // The arguments, with the planes pointed into `buffers` (copies of `planes`).
  Numbers ArgsFor(std::vector<GuardedBuffer> &buffers) const {
    Numbers args = in;
    for (size_t m = 0; m < row->planes.size(); ++m) {
      Arg(args, row->planes[m].plane) = reinterpret_cast<intptr_t>(buffers[m].PlaneStart(rows, strides[m]));
    }
    return args;
  }

  const TableRow *row;
  int16_t rows;
  Numbers in;
  std::vector<GuardedBuffer> planes;  // as they are before the call
  std::vector<int> strides;           // per plane, in bytes
};

// Calls every slot of `row` on copies of the same random planes, once through
// the host's routine in `direct` and once through the module's wrapper in
// `wrapped`: planes (guards included), host state and result must agree.
inline void ExpectSameOutput(const TableRow &row, Routine *wrapped, Routine *direct, const OutputCase &c,
                             HostState state = {}) {
  const OutputCall call(row, c);
  const std::vector<uint8_t> initial_state = state.Copy();
  for (int slot : row.slots) {
    SCOPED_TRACE(::testing::Message() << "slot " << slot << ", rows " << c.rows << ", origin " << c.origin
                                      << ", stride " << c.stride);
    std::vector<GuardedBuffer> unsplit = call.planes, split = call.planes;
    std::copy(initial_state.begin(), initial_state.end(), state.bytes);
    const int32_t expected = row.call(direct[slot], call.ArgsFor(unsplit));
    const std::vector<uint8_t> expected_state = state.Copy();
    std::copy(initial_state.begin(), initial_state.end(), state.bytes);
    EXPECT_EQ(row.call(wrapped[slot], call.ArgsFor(split)), expected)
        << "the result of one call over all rows";
    EXPECT_TRUE(split == unsplit) << "the planes";
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
  // Starts the module on two threads; false where the count cannot be chosen.
  bool StartOnTwo() {
    if (!CanChooseProcessors() && MachineProcessors() != 2) return false;
    UseProcessors(2);
    Reload();
    return StartUp() == kResultSuccess;
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
