#include "host/sim/sim_routines.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

#include "host/suites/blnd_routines.h"
#include "host/suites/filt_routines.h"
#include "host/suites/sele_routines.h"

namespace lumora::sim {
namespace {

uint8_t *Row(void *plane, int r, intptr_t stride) { return static_cast<uint8_t *>(plane) + r * stride; }

// The handle filt slot 0 was last given.
std::atomic<void *> kernel_handle{nullptr};

}  // namespace

int32_t AlphaBlendThree(void *s0, void *s1, void *s2, void *d0, void *d1, void *d2, void *mask, int16_t rows,
                        int16_t width, int16_t source_stride, int16_t destination_stride,
                        int16_t mask_stride) {
  void *const sources[] = {s0, s1, s2};
  void *const destinations[] = {d0, d1, d2};
  for (int r = 0; r < rows; ++r) {
    const uint8_t *alpha = Row(mask, r, mask_stride);
    for (int i = 0; i < 3; ++i) {
      const uint8_t *in = Row(sources[i], r, source_stride);
      uint8_t *out = Row(destinations[i], r, destination_stride);
      for (int c = 0; c < width; ++c) {
        out[c] = static_cast<uint8_t>((in[c] * alpha[c] + out[c] * (255 - alpha[c]) + 127) / 255);
      }
    }
  }
  return 0;
}

int32_t NameKernel(uint8_t mode, void *handle, int32_t, int32_t) {
  kernel_handle.store(handle);
  return mode;
}

int32_t KernelMean(void *a, void *b, int16_t rows, int16_t width, int16_t stride_a, int16_t stride_b) {
  void *handle = kernel_handle.load();
  if (handle == nullptr) return 0;
  const auto *header = *static_cast<const KernelHeader *const *>(handle);
  const auto *entries = reinterpret_cast<const KernelEntry *>(header + 1);
  const int taps = header->last + 1;
  if (taps <= 0) return 0;
  for (int r = 0; r < rows; ++r) {
    const uint8_t *in = Row(a, r, stride_a);
    uint8_t *out = Row(b, r, stride_b);
    for (int c = 0; c < width; ++c) {
      int sum = 0;
      for (int i = 0; i < taps; ++i) sum += in[c + entries[i].linear];
      out[c] = static_cast<uint8_t>((sum + taps / 2) / taps);
    }
  }
  return 0;
}

int32_t PaintDab(int16_t width, int16_t origin, int16_t centre_x, int16_t rows, int16_t centre_y, void *plane,
                 int16_t stride, int16_t radius, int16_t value) {
  if (radius <= 0) return 0;
  const float scale = 1.0f / static_cast<float>(radius);
  const int first = std::max(0, centre_x - radius);
  const int last = std::min<int>(width, centre_x + radius);
  for (int r = 0; r < rows; ++r) {
    const float dy = static_cast<float>(origin + r - centre_y) * scale;
    if (dy * dy >= 1.0f) continue;
    uint8_t *out = Row(plane, r, stride);
    for (int c = first; c < last; ++c) {
      const float dx = static_cast<float>(c - centre_x) * scale;
      const float distance = std::sqrt(dx * dx + dy * dy);
      if (distance >= 1.0f) continue;
      // A smooth falloff from the centre to the rim.
      const float falloff = 1.0f - distance * distance * (3.0f - 2.0f * distance);
      const auto weight = static_cast<int>(falloff * 255.0f + 0.5f);
      out[c] = static_cast<uint8_t>((value * weight + out[c] * (255 - weight) + 127) / 255);
    }
  }
  return 0;
}

int32_t SumBytes(void *plane, int16_t rows, int16_t width, int16_t stride) {
  uint32_t sum = 0;
  for (int r = 0; r < rows; ++r) {
    const uint8_t *in = Row(plane, r, stride);
    for (int c = 0; c < width; ++c) sum += in[c];
  }
  return static_cast<int32_t>(sum);
}

int32_t CopyRaster(void *p1, void *p2, void *mask, int16_t rows, int16_t width, int32_t stride1,
                   int32_t stride2, int32_t mask_stride, int16_t threshold, int16_t factor) {
  for (int r = 0; r < rows; ++r) {
    uint8_t *out = Row(p1, r, intptr_t{stride1} * factor);
    const uint8_t *in = Row(p2, r, stride2);
    if (mask == nullptr) {
      std::memcpy(out, in, static_cast<size_t>(std::max<int>(width, 0)));
      continue;
    }
    const uint8_t *m = Row(mask, r, mask_stride);
    for (int c = 0; c < width; ++c) out[c] = m[c] > threshold ? in[c] : out[c];
  }
  return 0;
}

void PutSimRoutines(HostSuites &suites) {
  PutBlndRoutines(suites);
  PutSeleRoutines(suites);
  suites.SetSlot(Code("blnd"), 13, &AlphaBlendThree);
  suites.SetSlot(Code("filt"), 0, &NameKernel);
  suites.SetSlot(Code("filt"), 11, &KernelMean);
  suites.SetSlot(Code("pntg"), 12, &PaintDab);
  suites.SetSlot(Code("memo"), 32, &SumBytes);
  suites.SetSlot(Code("rast"), 2, &CopyRaster);
}

}  // namespace lumora::sim
