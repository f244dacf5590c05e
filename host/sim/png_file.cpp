#include "host/sim/png_file.h"

#include <png.h>

#include <cstring>

namespace lumora::sim {
namespace {

png_image Blank() {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  return image;
}

}  // namespace

bool ReadPng(const std::string &path, int max_width, int max_height, RgbaImage &out, std::string &error) {
  png_image image = Blank();
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
    error = path + ": " + image.message;
    return false;
  }
  if (image.width > static_cast<png_uint_32>(max_width) ||
      image.height > static_cast<png_uint_32>(max_height)) {
    error = path + ": " + std::to_string(image.width) + " x " + std::to_string(image.height) +
            " is larger than " + std::to_string(max_width) + " x " + std::to_string(max_height);
    png_image_free(&image);
    return false;
  }
  image.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) {
    error = path + ": " + image.message;
    png_image_free(&image);
    return false;
  }
  out.width = static_cast<int>(image.width);
  out.height = static_cast<int>(image.height);
  out.rgba = std::move(pixels);
  return true;
}

bool WritePng(const std::string &path, int width, int height, const uint8_t *rgba, std::string &error) {
  png_image image = Blank();
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGBA;
  image.flags = PNG_IMAGE_FLAG_FAST;
  if (png_image_write_to_file(&image, path.c_str(), 0, rgba, 0, nullptr) == 0) {
    error = path + ": " + image.message;
    return false;
  }
  return true;
}

}  // namespace lumora::sim
