#include "host/sim/png_file.h"

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

// stb's own deflate takes several times as long as zlib's fastest level,
// seconds for each 4096 x 4096 picture; zlib compresses, stb does the rest.
static unsigned char *Deflate(unsigned char *data, int size, int *out_size, int) {
  uLongf length = compressBound(static_cast<uLong>(size));
  auto *out = static_cast<unsigned char *>(std::malloc(length));
  if (out == nullptr || compress2(out, &length, data, static_cast<uLong>(size), Z_BEST_SPEED) != Z_OK) {
    std::free(out);
    return nullptr;
  }
  *out_size = static_cast<int>(length);
  return out;
}

// One reader and one writer for both targets, compiled here with internal
// linkage; the reader knows PNG and nothing else.
#define STBIW_ZLIB_COMPRESS Deflate
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image.h>
#include <stb_image_write.h>

namespace lumora::sim {
namespace {

std::string Reason() {
  const char *reason = stbi_failure_reason();
  return reason != nullptr ? reason : "unknown fault";
}

void Append(void *context, void *data, int size) {
  const auto *bytes = static_cast<const char *>(data);
  static_cast<std::ofstream *>(context)->write(bytes, size);
}

}  // namespace

bool ReadPng(const std::string &path, int max_width, int max_height, RgbaImage &out, std::string &error) {
  std::error_code failure;
  const uintmax_t length = std::filesystem::file_size(path, failure);  // of a regular file only
  if (failure) {
    error = path + ": " + failure.message();
    return false;
  }
  if (length > INT32_MAX) {
    error = path + ": larger than 2 GiB";
    return false;
  }
  std::vector<uint8_t> file(static_cast<size_t>(length));
  std::ifstream in(path, std::ios::binary);
  if (!in.read(reinterpret_cast<char *>(file.data()), static_cast<std::streamsize>(length))) {
    error = path + ": cannot be read";
    return false;
  }
  // The size from the header, checked before a single pixel is decoded.
  const int size = static_cast<int>(file.size());
  int width = 0, height = 0, channels = 0;
  if (stbi_info_from_memory(file.data(), size, &width, &height, &channels) == 0) {
    error = path + ": not a PNG file that can be read (" + Reason() + ")";
    return false;
  }
  if (width > max_width || height > max_height) {
    error = path + ": " + std::to_string(width) + " x " + std::to_string(height) + " is larger than " +
            std::to_string(max_width) + " x " + std::to_string(max_height);
    return false;
  }
  stbi_uc *pixels = stbi_load_from_memory(file.data(), size, &width, &height, &channels, 4);
  if (pixels == nullptr) {
    error = path + ": cannot be decoded (" + Reason() + ")";
    return false;
  }
  out.width = width;
  out.height = height;
  out.rgba.assign(pixels, pixels + size_t{4} * size_t(width) * size_t(height));
  stbi_image_free(pixels);
  return true;
}

bool WritePng(const std::string &path, int width, int height, const uint8_t *rgba, std::string &error) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) {
    error = path + ": cannot be created";
    return false;
  }
  if (stbi_write_png_to_func(&Append, &file, width, height, 4, rgba, 4 * width) == 0 || !file.flush()) {
    error = path + ": cannot be written";
    return false;
  }
  return true;
}

}  // namespace lumora::sim
