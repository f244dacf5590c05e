// PNG files in and out, as 8-bit RGBA.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumora::sim {

struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;
};

// Reads any PNG (grey, palette, RGB, with or without alpha, 8 or 16 bits) as
// 8-bit RGBA. False, with a one-line reason in `error`, when it cannot or when
// the image is wider or taller than the limits (checked before any pixel is
// read).
bool ReadPng(const std::string &path, int max_width, int max_height, RgbaImage &image, std::string &error);

// Writes 8-bit RGBA rows of 4 * width bytes, favouring speed over size.
bool WritePng(const std::string &path, int width, int height, const uint8_t *rgba, std::string &error);

}  // namespace lumora::sim
