// What the substitute host's routines share: short names for the argument
// widths of the host's tables, and the address of a row of a plane.
#pragma once

#include <cstdint>

namespace lumora::plane_rows {

using u8 = uint8_t;
using i16 = int16_t;
using i32 = int32_t;
using P = void *;

// Row r of a plane of bytes whose rows lie `stride` bytes apart, either sign;
// a stride wider than a pointer wraps as the host's 32-bit arithmetic does.
inline u8 *Row(P plane, int r, int64_t stride) {
  return static_cast<u8 *>(plane) + intptr_t{r} * static_cast<intptr_t>(stride);
}

}  // namespace lumora::plane_rows
