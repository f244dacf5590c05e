#include "host/suites/memo_routines.h"

#include <cstdint>
#include <cstdlib>

namespace lumora {
namespace {

uint8_t *Row(void *plane, int r, int32_t stride) {
  return static_cast<uint8_t *>(plane) + intptr_t{r} * stride;
}

// Slot 2: the first plane takes the second, scaled, offset and masked.
int32_t CopyScaled(void *to, void *from, int16_t rows, int16_t scale, int16_t offset, int16_t mask,
                   int32_t to_stride, int32_t from_stride) {
  for (int r = 0; r < rows; ++r) {
    uint8_t *out = Row(to, r, to_stride);
    const uint8_t *in = Row(from, r, from_stride);
    for (int c = 0; c < kMemoColumns; ++c) out[c] = static_cast<uint8_t>((in[c] * scale + offset) ^ mask);
  }
  return 0;
}

// Slots 6 and 9: half of each byte kept, a ramp of two values added.
int32_t AddRamp(void *plane, int16_t rows, int16_t start, int16_t step, int32_t stride) {
  for (int r = 0; r < rows; ++r) {
    uint8_t *out = Row(plane, r, stride);
    for (int c = 0; c < kMemoColumns; ++c) out[c] = static_cast<uint8_t>((out[c] >> 1) + start + step * c);
  }
  return 0;
}

// Slots 13 and 14: the first plane takes a weighted mix of both.
int32_t Mix(void *to, void *from, int16_t rows, int16_t to_weight, int16_t from_weight, int32_t to_stride,
            int32_t from_stride) {
  for (int r = 0; r < rows; ++r) {
    uint8_t *out = Row(to, r, to_stride);
    const uint8_t *in = Row(from, r, from_stride);
    for (int c = 0; c < kMemoColumns; ++c) {
      out[c] = static_cast<uint8_t>((out[c] * to_weight + in[c] * from_weight) >> 4);
    }
  }
  return 0;
}

// Slot 21: 1 when every byte of the first plane lies within `tolerance` of
// the second's, else 0.
int32_t WithinTolerance(void *first, void *second, int16_t rows, int16_t tolerance, int32_t first_stride,
                        int32_t second_stride) {
  for (int r = 0; r < rows; ++r) {
    const uint8_t *a = Row(first, r, first_stride);
    const uint8_t *b = Row(second, r, second_stride);
    for (int c = 0; c < kMemoColumns; ++c) {
      if (std::abs(a[c] - b[c]) > tolerance) return 0;
    }
  }
  return 1;
}

// Slots 27, 28, 48, 49 and 50: rows shaded by their distance from two marked
// rows, which are counted from the first row of the call (16-bit).
int32_t ShadeFromMarks(void *plane, int16_t mark1, int16_t a, int16_t mark2, int16_t b, int16_t rows,
                       int16_t d, int32_t stride, int32_t e, uint8_t f) {
  for (int r = 0; r < rows; ++r) {
    const auto from1 = static_cast<int16_t>(r - mark1);
    const auto from2 = static_cast<int16_t>(r - mark2);
    uint8_t *out = Row(plane, r, stride);
    for (int c = 0; c < kMemoColumns; ++c) {
      out[c] = static_cast<uint8_t>(out[c] + from1 * 3 + from2 * 7 + a + b * 5 + d * 9 + e + f * c);
    }
  }
  return 0;
}

// Slot 32: the sum of the rows' bytes, each first XORed with a key.
int32_t SumBytes(void *plane, int16_t rows, int16_t key, int16_t stride) {
  uint32_t sum = 0;
  for (int r = 0; r < rows; ++r) {
    const uint8_t *in = Row(plane, r, stride);
    for (int c = 0; c < kMemoColumns; ++c) sum += static_cast<uint32_t>(in[c] ^ (key & 0xFF));
  }
  return static_cast<int32_t>(sum);
}

// Slot 33: how many bytes lie between two bounds, both included.
int32_t CountBetween(void *plane, int16_t rows, int16_t low, int16_t stride, int16_t high) {
  int32_t count = 0;
  for (int r = 0; r < rows; ++r) {
    const uint8_t *in = Row(plane, r, stride);
    for (int c = 0; c < kMemoColumns; ++c) count += in[c] >= low && in[c] <= high ? 1 : 0;
  }
  return count;
}

// Slot 35: the sum of (byte + bias) * weight, wrapping at 32 bits.
int32_t WeightedSum(void *plane, int16_t rows, int16_t bias, int32_t weight, int32_t stride) {
  uint32_t sum = 0;
  for (int r = 0; r < rows; ++r) {
    const uint8_t *in = Row(plane, r, stride);
    for (int c = 0; c < kMemoColumns; ++c) {
      sum += static_cast<uint32_t>(in[c] + bias) * static_cast<uint32_t>(weight);
    }
  }
  return static_cast<int32_t>(sum);
}
// Slot 34: the same, with a 16-bit stride ahead of the weight.
int32_t WeightedSumNarrowStride(void *plane, int16_t rows, int16_t bias, int16_t stride, int32_t weight) {
  return WeightedSum(plane, rows, bias, weight, stride);
}

}  // namespace

void PutMemoRoutines(HostSuites &suites) {
  const uint32_t memo = Code("memo");
  suites.SetSlot(memo, 2, &CopyScaled);
  for (int slot : {6, 9}) suites.SetSlot(memo, slot, &AddRamp);
  for (int slot : {13, 14}) suites.SetSlot(memo, slot, &Mix);
  suites.SetSlot(memo, 21, &WithinTolerance);
  for (int slot : {27, 28, 48, 49, 50}) suites.SetSlot(memo, slot, &ShadeFromMarks);
  suites.SetSlot(memo, 32, &SumBytes);
  suites.SetSlot(memo, 33, &CountBetween);
  suites.SetSlot(memo, 34, &WeightedSumNarrowStride);
  suites.SetSlot(memo, 35, &WeightedSum);
}

}  // namespace lumora
