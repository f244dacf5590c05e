#include "host/sim/document.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace lumora::sim {
namespace {

uint8_t Byte(int value) { return static_cast<uint8_t>(std::clamp(value, 0, 255)); }

// Integer square of a distance, kept in 64 bits for the largest documents.
int64_t Square(int64_t value) { return value * value; }

std::vector<uint8_t> GeneratedImage(int width, int height) {
  std::vector<uint8_t> rgba(size_t(width) * size_t(height) * 4);
  const int64_t cx = width / 2, cy = height / 2;
  const int64_t reach = Square(cx) + Square(cy) + 1;
  for (int y = 0; y < height; ++y) {
    uint8_t *row = rgba.data() + size_t(y) * size_t(width) * 4;
    for (int x = 0; x < width; ++x) {
      const int64_t d2 = Square(x - cx) + Square(y - cy);
      const int ring = static_cast<int>((d2 * 64 / reach) & 15) * 8;
      const int checker = ((x / 64) ^ (y / 64)) & 1 ? 24 : 0;
      uint8_t *p = row + size_t(x) * 4;
      p[0] = Byte(x * 255 / width + ring - checker);
      p[1] = Byte(y * 255 / height + checker);
      p[2] = Byte(255 - (x + y) * 255 / (width + height) + ring);
      p[3] = Byte(static_cast<int>(255 - d2 * 160 / reach));
    }
  }
  return rgba;
}

std::vector<uint8_t> GeneratedOverlay(int width, int height) {
  std::vector<uint8_t> rgba(size_t(width) * size_t(height) * 4);
  struct Disc {
    int x, y, r;
    uint8_t colour[3];
  };
  const int side = std::min(width, height);
  const Disc discs[] = {
      {width / 3, height / 3, side / 4, {250, 60, 40}},
      {2 * width / 3, height / 2, side / 3, {40, 200, 90}},
      {width / 2, 3 * height / 4, side / 5, {60, 90, 250}},
  };
  for (int y = 0; y < height; ++y) {
    uint8_t *row = rgba.data() + size_t(y) * size_t(width) * 4;
    for (int x = 0; x < width; ++x) {
      uint8_t *p = row + size_t(x) * 4;
      p[0] = p[1] = p[2] = Byte(((x + y) / 16) & 1 ? 200 : 170);
      p[3] = 0;
      for (const Disc &disc : discs) {
        const int64_t d2 = Square(x - disc.x) + Square(y - disc.y);
        const int64_t r2 = Square(disc.r) + 1;
        if (d2 >= r2) continue;
        for (int i = 0; i < 3; ++i) p[i] = disc.colour[i];
        p[3] = Byte(static_cast<int>(220 - d2 * 120 / r2));
      }
    }
  }
  return rgba;
}

Layer LayerOf(std::vector<uint8_t> rgba, size_t pixels) {
  Layer layer;
  for (int i = 0; i < 4; ++i) {
    layer.planes[size_t(i)].resize(pixels);
    for (size_t p = 0; p < pixels; ++p) layer.planes[size_t(i)][p] = rgba[p * 4 + size_t(i)];
  }
  layer.raster = std::move(rgba);
  return layer;
}

}  // namespace

Document DocumentFromRaster(int width, int height, std::vector<uint8_t> rgba) {
  Document document;
  document.width = width;
  document.height = height;
  document.image = LayerOf(std::move(rgba), document.PlaneBytes());
  document.overlay = LayerOf(GeneratedOverlay(width, height), document.PlaneBytes());
  return document;
}

Document GenerateDocument(int width, int height) {
  return DocumentFromRaster(width, height, GeneratedImage(width, height));
}

std::vector<uint8_t> Interleave(const std::array<const uint8_t *, 4> &planes, size_t pixels) {
  std::vector<uint8_t> rgba(pixels * 4);
  for (size_t p = 0; p < pixels; ++p) {
    for (size_t i = 0; i < 4; ++i) rgba[p * 4 + i] = planes[i][p];
  }
  return rgba;
}

}  // namespace lumora::sim
