// The blending suite's table as the tests read it: for every argument list,
// the slots that take it and what each argument is. Written from the host's
// description of its routines, apart from the module's own declarations, so
// that a slip in either shows up against the other.
#pragma once

#include <cstdint>
#include <type_traits>
#include <utility>
#include <vector>

#include "host/call_log.h"
#include "host/host_fixture.h"
#include "host/host_suites.h"

namespace lumora::testing {

constexpr uint32_t kBlnd = Code("blnd");

// What an argument is. Planes name the argument (from 1) that holds their row
// stride in bytes; a stride argument itself is a value.
enum class Is : uint8_t { kPlane, kOptionalPlane, kHalfPlane, kCount, kWidth, kValue };
struct ArgRole {
  Is is;
  int stride = 0;
};
constexpr ArgRole Plane(int stride) { return {Is::kPlane, stride}; }
constexpr ArgRole OptionalPlane(int stride) { return {Is::kOptionalPlane, stride}; }
constexpr ArgRole HalfPlane(int stride) { return {Is::kHalfPlane, stride}; }  // 16-bit elements
constexpr ArgRole kCount{Is::kCount};
constexpr ArgRole kWidth{Is::kWidth};  // elements per row: the host's, passed on unchanged
constexpr ArgRole kValue{Is::kValue};

constexpr bool IsPlane(const ArgRole &role) { return role.is <= Is::kHalfPlane; }

// One argument list of the table. Argument widths: 'p' pointer, 'h' i16,
// 'l' i32, 'b' u8.
struct TableRow {
  std::vector<int> slots;
  std::vector<ArgRole> roles;
  std::vector<char> widths;
  // Calls a routine of this argument list with the arguments as numbers.
  int32_t (*call)(Routine routine, const std::vector<int64_t> &args);
  // Puts a routine that records its calls into each of the row's slots.
  void (*put_recorders)(HostSuites &suites);
};

namespace table_detail {

template <typename T>
constexpr char WidthOf() {
  if constexpr (std::is_pointer_v<T>) return 'p';
  if constexpr (std::is_same_v<T, int16_t>) return 'h';
  if constexpr (std::is_same_v<T, int32_t>) return 'l';
  if constexpr (std::is_same_v<T, uint8_t>) return 'b';
}

template <typename T>
T From(int64_t number) {
  if constexpr (std::is_pointer_v<T>) {
    return reinterpret_cast<T>(static_cast<intptr_t>(number));
  } else {
    return static_cast<T>(number);
  }
}

template <typename... Ts, size_t... I>
int32_t CallWith(Routine routine, const std::vector<int64_t> &args, std::index_sequence<I...>) {
  return reinterpret_cast<int32_t (*)(Ts...)>(routine)(From<Ts>(args[I])...);
}

}  // namespace table_detail

template <typename Signature, int... Slots>
struct Row;

template <typename... Ts, int... Slots>
struct Row<int32_t(Ts...), Slots...> {
  static int32_t Call(Routine routine, const std::vector<int64_t> &args) {
    return table_detail::CallWith<Ts...>(routine, args, std::index_sequence_for<Ts...>{});
  }
  static void PutRecorders(HostSuites &suites) {
    (suites.SetSlot(kBlnd, Slots, &RecordingRoutine<kBlnd, Slots, 0, Ts...>), ...);
  }
  static TableRow With(std::vector<ArgRole> roles) {
    return {{Slots...}, std::move(roles), {table_detail::WidthOf<Ts>()...}, &Call, &PutRecorders};
  }
};

// Every argument list but the two records'.
inline std::vector<TableRow> BlndTable() {
  using p = void *;
  using h = int16_t;
  using l = int32_t;
  using b = uint8_t;
  const ArgRole N = kCount, W = kWidth, V = kValue;
  // clang-format off
  return {
    Row<int32_t(p, h, h, h, h), 1>::With({Plane(4), N, W, V, V}),
    Row<int32_t(p, p, p, h, h, h, h, h), 2, 7, 10, 22, 25, 30, 47, 50, 65, 66, 67, 68, 72, 73, 74, 75, 76, 115>
        ::With({Plane(6), Plane(7), Plane(8), N, W, V, V, V}),
    Row<int32_t(h, p, p, h, h, h, h), 3, 8, 11, 23, 26, 31, 48, 51, 69>
        ::With({V, Plane(6), Plane(7), N, W, V, V}),
    Row<int32_t(h, h, h, p, p, p, p, h, h, h, h), 4, 14, 17, 20>
        ::With({V, V, V, Plane(10), Plane(10), Plane(10), Plane(11), N, W, V, V}),
    Row<int32_t(h, h, h, h, p, p, p, p, p, h, h, h, h), 5>
        ::With({V, V, V, V, Plane(12), Plane(12), Plane(12), Plane(12), Plane(13), N, W, V, V}),
    Row<int32_t(p, p, p, h, h, h, h, h, h, h), 9, 12>
        ::With({Plane(8), Plane(9), Plane(10), N, W, V, V, V, V, V}),
    Row<int32_t(p, p, p, p, p, p, p, h, h, h, h, h), 13, 16, 19, 45>
        ::With({Plane(10), Plane(10), Plane(10), Plane(11), Plane(11), Plane(11), Plane(12), N, W, V, V, V}),
    Row<int32_t(p, p, p, p, p, p, h, h, h, h), 15, 18, 21>
        ::With({Plane(9), Plane(9), Plane(9), Plane(10), Plane(10), Plane(10), N, W, V, V}),
    Row<int32_t(p, p, h, h, h, h), 24, 27, 28, 29, 33, 34, 35, 36, 41, 49, 52, 53, 54, 62, 64, 70, 95, 96>
        ::With({Plane(5), Plane(6), N, W, V, V}),
    Row<int32_t(p, h, h, h, h, h), 32>::With({Plane(6), V, V, N, W, V}),
    Row<int32_t(p, p, p, p, p, h, h, h, h, h), 37, 46>
        ::With({Plane(8), Plane(8), Plane(9), Plane(9), Plane(10), N, W, V, V, V}),
    Row<int32_t(h, h, p, p, p, h, h, h, h), 38>::With({V, V, Plane(8), Plane(8), Plane(9), N, W, V, V}),
    Row<int32_t(p, p, p, p, h, h, h, h), 39>::With({Plane(7), Plane(7), Plane(8), Plane(8), N, W, V, V}),
    Row<int32_t(p, p, h, h, h, h, b), 40, 56, 57, 58, 59, 71, 106>::With({Plane(5), Plane(6), N, W, V, V, V}),
    Row<int32_t(p, p, h, h, h, h, h, h), 42, 43>::With({Plane(5), Plane(6), N, W, V, V, V, V}),
    Row<int32_t(p, p, p, h, h, h, h, h, b), 55>::With({Plane(6), Plane(7), Plane(8), N, W, V, V, V, V}),
    Row<int32_t(p, p, p, p, h, h, h, h), 60, 61>::With({Plane(7), Plane(7), Plane(7), Plane(8), N, W, V, V}),
    Row<int32_t(p, p, p, h, h, h, h), 63>::With({Plane(6), Plane(6), Plane(7), N, W, V, V}),
    Row<int32_t(p, p, p, h, h, h, h, h, b, b, b), 97>
        ::With({Plane(6), Plane(7), Plane(8), N, W, V, V, V, V, V, V}),
    Row<int32_t(p, p, h, h, h, h, l, l, h), 98>::With({Plane(5), Plane(6), N, W, V, V, V, V, V}),
    Row<int32_t(p, p, p, p, h, h, h, h, l, l, h), 99>
        ::With({Plane(7), Plane(7), Plane(7), Plane(8), N, W, V, V, V, V, V}),
    Row<int32_t(p, p, p, p, p, h, h, h, h, l, l, h), 100>
        ::With({Plane(8), Plane(8), Plane(8), OptionalPlane(8), Plane(9), N, W, V, V, V, V, V}),
    Row<int32_t(p, p, h, h, l, l, l, l, b), 102>::With({Plane(5), Plane(6), N, W, V, V, V, V, V}),
    Row<int32_t(p, p, h, h, l, l, l, l), 103, 104, 105>::With({Plane(5), Plane(6), N, W, V, V, V, V}),
    Row<int32_t(p, p, p, h, h, h, h, h, l, l, h), 107>
        ::With({Plane(6), Plane(7), OptionalPlane(8), N, W, V, V, V, V, V, V}),
    Row<int32_t(p, p, p, p, p, h, h, h, h, h, l, l, h), 108>
        ::With({Plane(8), Plane(8), Plane(8), Plane(9), OptionalPlane(10), N, W, V, V, V, V, V, V}),
    Row<int32_t(p, p, p, p, p, p, h, h, h, h, h, l, l, h), 109>
        ::With({Plane(9), Plane(9), Plane(9), OptionalPlane(9), Plane(10), OptionalPlane(11), N, W, V, V, V, V,
                V, V}),
    Row<int32_t(p, p, p, l, l, l, l, l), 114>::With({HalfPlane(6), HalfPlane(7), Plane(8), N, W, V, V, V}),
  };
  // clang-format on
}

// The slots whose one argument points to a BlendRecord, and to a BlendRecord16.
using RecordSlotList = std::integer_sequence<int, 77, 78, 79, 80, 81, 82, 83, 84, 85, 86, 87, 88, 89, 90, 91,
                                             92, 93, 94, 110, 111, 112>;
using Record16SlotList = std::integer_sequence<int, 116, 117, 118, 119, 120, 121, 122, 123>;

template <int... Slots>
std::vector<int> SlotsOf(std::integer_sequence<int, Slots...>) {
  return {Slots...};
}
inline const std::vector<int> kRecordSlots = SlotsOf(RecordSlotList{});
inline const std::vector<int> kRecord16Slots = SlotsOf(Record16SlotList{});

// The slots that keep the host's own routine.
inline const std::vector<int> kUnwrappedSlots = {0, 6, 44, 101, 113};

class BlndTest : public ModuleTest {
 protected:
  Routine Live(int slot) { return suites->Table(kBlnd)[slot]; }
};

}  // namespace lumora::testing
