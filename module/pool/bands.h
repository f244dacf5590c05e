// Band arithmetic: how a count is divided among the participants of a split,
// and how far a pointer or row coordinate moves for a slice. Every wrapper
// takes its numbers from here.
//
// Slices 0 .. threads - 2 take `per_slice` each and the last slice takes the
// rest, so it is never smaller. Slice k begins at k * per_slice. A division
// that would give a slice nothing, or a negative share, does not split.
#pragma once

#include <algorithm>
#include <cstdint>

namespace rowfork {

struct Bands {
  int32_t per_slice = 0;
  int32_t last = 0;

  constexpr bool Splits() const { return per_slice > 0 && last > 0; }
  constexpr int32_t First(int k) const { return k * per_slice; }
  constexpr int32_t Count(int k, int threads) const { return k == threads - 1 ? last : per_slice; }
};

// `count` in shares of `per_slice`, the last slice taking the rest.
constexpr Bands Shares(int32_t count, int32_t per_slice, int threads) {
  if (threads < 2 || per_slice <= 0) return {};
  return {per_slice, count - (threads - 1) * per_slice};
}

// Rows per slice: the count divided by the participants, truncating.
constexpr Bands DivideRows(int32_t rows, int threads) {
  return threads < 2 ? Bands{} : Shares(rows, rows / threads, threads);
}

// Rows per slice cut down to a multiple of `modulus` (by a truncating
// remainder), or left as they are when the modulus is 0.
constexpr Bands DivideAligned(int32_t rows, int threads, int32_t modulus) {
  if (threads < 2) return {};
  int32_t per_slice = rows / threads;
  if (modulus != 0) per_slice -= per_slice % modulus;
  return Shares(rows, per_slice, threads);
}

// Shares rounded down to a multiple of `multiple` (a power of two).
constexpr Bands DivideInMultiples(int32_t count, int threads, int32_t multiple) {
  return threads < 2 ? Bands{} : Shares(count, (count / threads) & ~(multiple - 1), threads);
}

// Shares of at least 8 elements, otherwise rounded down to a multiple of 8;
// counts below 9 are not divided.
constexpr Bands DivideInEights(int32_t count, int threads) {
  if (threads < 2 || count < 9) return {};
  const int32_t share = count / threads;
  return Shares(count, std::max(share & ~7, int32_t{8}), threads);
}

// The byte offset of a slice that begins `first` rows in, for a row stride
// that is the product of `factors`. Pointer-width two's complement: on the
// 32-bit target this is exactly 32-bit wrapping arithmetic.
template <typename... Factors>
constexpr intptr_t RowOffset(int32_t first, Factors... factors) {
  uint64_t product = static_cast<uint64_t>(int64_t{first});
  ((product *= static_cast<uint64_t>(static_cast<int64_t>(factors))), ...);
  return static_cast<intptr_t>(static_cast<int64_t>(product));
}

// A byte offset rounded down to an even number, for planes of 16-bit elements.
constexpr intptr_t EvenOffset(intptr_t offset) { return offset & ~intptr_t{1}; }

inline void *Advance(void *pointer, intptr_t offset) {
  return reinterpret_cast<void *>(reinterpret_cast<uintptr_t>(pointer) + static_cast<uintptr_t>(offset));
}

// A 16-bit row coordinate moved by `rows`, wrapping like the host's own.
constexpr int16_t MoveRow(int16_t coordinate, int32_t rows) {
  return static_cast<int16_t>(coordinate + rows);
}

}  // namespace rowfork
