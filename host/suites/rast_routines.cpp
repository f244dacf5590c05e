#include "host/suites/rast_routines.h"

#include <cstdint>

namespace lumora {
namespace {

// Row r of the first plane lies r * s1 * f bytes on (f rows of s1 bytes make
// one row of work); row r of the others at their own strides.
uint8_t *Row(void *plane, int r, int32_t stride) {
  return static_cast<uint8_t *>(plane) + intptr_t{r} * stride;
}

// Slots 0 and 3: the first plane takes the rounded mean of itself and the second.
int32_t MeanIntoFirst(void *p1, void *p2, int16_t rows, int16_t bias, int32_t s1, int32_t s2, int16_t,
                      int16_t f) {
  for (int r = 0; r < rows; ++r) {
    uint8_t *out = Row(p1, r, s1 * f);
    const uint8_t *in = Row(p2, r, s2);
    for (int c = 0; c < kRastColumns; ++c) out[c] = static_cast<uint8_t>((out[c] + in[c] + bias) >> 1);
  }
  return 0;
}

// Slot 1: the first plane takes the second plus a 32-bit offset.
int32_t AddIntoFirst(void *p1, void *p2, int16_t rows, int16_t, int32_t s1, int32_t s2, int16_t, int16_t f,
                     int32_t offset) {
  for (int r = 0; r < rows; ++r) {
    uint8_t *out = Row(p1, r, s1 * f);
    const uint8_t *in = Row(p2, r, s2);
    for (int c = 0; c < kRastColumns; ++c) out[c] = static_cast<uint8_t>(in[c] + offset);
  }
  return 0;
}

// Slot 2: the first plane takes the second, masked by the third where there is one.
int32_t MaskedCopy(void *p1, void *p2, void *p3, int16_t rows, int16_t, int32_t s1, int32_t s2, int32_t s3,
                   int16_t, int16_t f) {
  for (int r = 0; r < rows; ++r) {
    uint8_t *out = Row(p1, r, s1 * f);
    const uint8_t *in = Row(p2, r, s2);
    const uint8_t *mask = p3 != nullptr ? Row(p3, r, s3) : nullptr;
    for (int c = 0; c < kRastColumns; ++c) out[c] = mask == nullptr || mask[c] > 127 ? in[c] : out[c];
  }
  return 0;
}

}  // namespace

void PutRastRoutines(HostSuites &suites) {
  const uint32_t rast = Code("rast");
  suites.SetSlot(rast, 0, &MeanIntoFirst);
  suites.SetSlot(rast, 1, &AddIntoFirst);
  suites.SetSlot(rast, 2, &MaskedCopy);
  suites.SetSlot(rast, 3, &MeanIntoFirst);
}

}  // namespace lumora
