// The image the demonstration works on: an RGBA raster (4 bytes a pixel,
// rows one after another) and the same pixels as four byte planes, with a
// second, overlay layer of the same size for the blends.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumora::sim {

// The sizes every routine's 16-bit rows and row strides can carry: a row of
// the raster is 4 * width bytes.
constexpr int kMinSide = 8;
constexpr int kMaxWidth = 8191;
constexpr int kMaxHeight = 8192;

struct Layer {
  std::vector<uint8_t> raster;                 // RGBA
  std::array<std::vector<uint8_t>, 4> planes;  // R, G, B, A
};

struct Document {
  int width = 0;
  int height = 0;
  Layer image;
  Layer overlay;

  int RasterStride() const { return 4 * width; }
  size_t PlaneBytes() const { return size_t(width) * size_t(height); }
};

// A document of generated pictures: gradients and rings under a soft alpha
// vignette, and an overlay of translucent discs.
Document GenerateDocument(int width, int height);

// A document whose image is this RGBA raster and whose overlay is generated.
Document DocumentFromRaster(int width, int height, std::vector<uint8_t> rgba);

// The raster of planes R, G, B and A (each width * height bytes).
std::vector<uint8_t> Interleave(const std::array<const uint8_t *, 4> &planes, size_t pixels);

}  // namespace lumora::sim
