// The substitute host's blending routines: working row routines for the 119
// slots the module wraps, and the two parameter records some of them take.
// Planes are rows of bytes, or of 16-bit elements where a routine says so;
// strides are in bytes and may be negative. Routines with an argument list
// work on rows of kBlndColumns elements, and the argument after their row
// count is a tint added to every element they write; record routines work on
// rows of the record's width.
#pragma once

#include <cstdint>

#include "host/host_suites.h"

namespace lumora {

// The record of the byte-plane record routines. Any plane may be null: no
// destination (plane 1) does nothing, no source (plane 2) blends `fill`, no
// mask (plane 3) blends fully.
struct BlendRecord {
  int32_t mode;  // 0 mix, 1 add, 2 lighter, 3 darker (taken modulo 4)
  int16_t rows;
  int16_t width;
  uint8_t *plane1;  // destination
  int32_t stride1;
  int32_t fill;
  uint8_t opacity;
  uint8_t *plane2;  // source
  int32_t stride2;
  int32_t bias;
  uint8_t *plane3;  // mask
  int32_t stride3;
  int32_t low;
  uint8_t invert;
  int32_t high;
  int32_t offset;
};

// The record of the 16-bit record routines: planes 1 and 2 hold 16-bit
// elements, plane 3 is a byte mask; nulls as in BlendRecord.
struct BlendRecord16 {
  int32_t mode;  // 0 mix, 1 add (taken modulo 2)
  int16_t rows;
  int16_t width;
  uint16_t *plane1;  // destination
  int32_t stride1;
  int32_t fill;
  int16_t opacity;   // 0 to 256, clamped
  uint16_t *plane2;  // source
  int32_t stride2;
  int32_t bias;
  uint8_t *plane3;  // mask
  int32_t stride3;
  int32_t ceiling;
  uint8_t invert;
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(BlendRecord) == 60 && sizeof(BlendRecord16) == 52);
static_assert(__builtin_offsetof(BlendRecord, opacity) == 20 &&
              __builtin_offsetof(BlendRecord, offset) == 56);
static_assert(__builtin_offsetof(BlendRecord16, opacity) == 20 &&
              __builtin_offsetof(BlendRecord16, invert) == 48);
#endif

constexpr int kBlndColumns = 8;

// Puts a working routine into every slot the module wraps.
void PutBlndRoutines(HostSuites &suites);

// The routine of the BlendRecord slots.
int32_t BlndRecordBlend(void *record);

}  // namespace lumora
