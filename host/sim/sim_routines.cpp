#include "host/sim/sim_routines.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

#include "host/suites/blnd_routines.h"
#include "host/suites/filt_routines.h"
#include "host/suites/rsmp_routines.h"
#include "host/suites/sele_routines.h"

namespace lumora::sim {
namespace {

uint8_t *Row(void *plane, int r, intptr_t stride) { return static_cast<uint8_t *>(plane) + r * stride; }

// The handle filt slot 0 was last given.
std::atomic<void *> kernel_handle{nullptr};

// The tables rsmp slot 10 applies.
std::atomic<const uint32_t *> colour_tables{nullptr};

uint8_t Clamped(int64_t value) { return static_cast<uint8_t>(std::clamp<int64_t>(value, 0, 255)); }

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

void UseColourTables(const uint32_t *tables) { colour_tables.store(tables); }

int32_t ApplyColourMatrix(void *p1, void *p2, void *mask, int16_t rows, int16_t width, int32_t stride2,
                          int32_t, int32_t mask_stride, int32_t, int16_t strength, int16_t, int16_t) {
  const uint32_t *tables = colour_tables.load();
  if (tables == nullptr) return 0;
  constexpr size_t kColumn = 32 * 256;
  for (int r = 0; r < rows; ++r) {
    uint8_t *out = Row(p1, r, 4 * intptr_t{width});
    const uint8_t *in = Row(p2, r, stride2);
    const uint8_t *m = Row(mask, r, mask_stride);
    for (int x = 0; x < width; ++x) {
      const uint8_t *pixel = in + 4 * x;
      uint8_t *target = out + 4 * x;
      const int weight = m[x] * strength / 255;
      for (size_t i = 0; i < 3; ++i) {
        const uint32_t *column = tables + i * kColumn;
        // Fixed point, 16 bits of fraction; the first column's tables carry
        // the rounding in their base, the others are rounded here.
        const uint32_t sum =
            column[pixel[0]] + column[256 + pixel[1]] + column[512 + pixel[2]] + (i == 0 ? 0 : 32768);
        const int converted = Clamped(static_cast<int32_t>(sum) >> 16);
        target[i] = static_cast<uint8_t>((converted * weight + pixel[i] * (255 - weight) + 127) / 255);
      }
      target[3] = pixel[3];
    }
  }
  return 0;
}

int32_t ZoomRows(void *p1, void *p2, int16_t rows, int16_t width, int32_t zoom, int16_t stride1,
                 int16_t stride2, int32_t) {
  if (width <= 0 || zoom <= 0) return 0;
  // Source position of pixel x, in 1/65536 of a pixel.
  const int64_t centre = int64_t{width} * 32768;
  const int64_t step = (int64_t{1} << 32) / zoom;
  const int64_t last = int64_t{width - 1} << 16;
  for (int r = 0; r < rows; ++r) {
    const uint8_t *in = Row(p1, r, stride1);
    uint8_t *out = Row(p2, r, stride2);
    for (int x = 0; x < width; ++x) {
      const int64_t u =
          std::clamp<int64_t>(centre + ((int64_t{x} << 16) + 32768 - centre) * step / 65536 - 32768, 0, last);
      const int64_t left = u >> 16, fraction = u & 0xFFFF;
      const int64_t right = std::min<int64_t>(left + 1, width - 1);
      for (int i = 0; i < 4; ++i) {
        const int64_t a = in[4 * left + i], b = in[4 * right + i];
        out[4 * x + i] = static_cast<uint8_t>(a + (((b - a) * fraction + 32768) >> 16));
      }
    }
  }
  return 0;
}

int32_t ToDisplay(void *raster, int16_t rows, int16_t width, int16_t origin, int16_t square, int16_t,
                  int32_t light, int32_t dark) {
  // A 4 x 4 ordered dither, in eighths of a level step.
  static constexpr int kDither[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  const int side = std::max<int>(square, 1);
  for (int r = 0; r < rows; ++r) {
    const int y = origin + r;
    uint8_t *pixel = Row(raster, r, 4 * intptr_t{width});
    for (int x = 0; x < width; ++x, pixel += 4) {
      const int32_t ground = ((x / side) + (y / side)) % 2 == 0 ? light : dark;
      const int alpha = pixel[3];
      const int threshold = kDither[y & 3][x & 3];
      for (int i = 0; i < 3; ++i) {
        const int back = (ground >> (16 - 8 * i)) & 0xFF;
        const int shown = (pixel[i] * alpha + back * (255 - alpha) + 127) / 255;
        // 32 levels: 255 / 31 apart; the dither decides which neighbour.
        const int level = std::min(31, (shown * 31 * 16 + threshold * 255) / (255 * 16));
        pixel[i] = static_cast<uint8_t>(level * 255 / 31);
      }
      pixel[3] = 255;
    }
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
  suites.SetSlot(Code("rsmp"), 2, &ZoomRows);
  suites.SetSlot(Code("rsmp"), 4, &MultiplyTablesByFormula);
  suites.SetSlot(Code("rsmp"), 10, &ApplyColourMatrix);
  suites.SetSlot(Code("disp"), 24, &ToDisplay);
}

}  // namespace lumora::sim
