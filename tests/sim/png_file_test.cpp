// PNG files: what is written reads back unchanged, other PNG kinds read as
// RGBA, and files that are not pictures, or too large ones, are refused.
#include "host/sim/png_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

// A writer of other PNG kinds than the program's own.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace lumora::sim {
namespace {

namespace fs = std::filesystem;

class PngFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    folder = fs::temp_directory_path() / ("png_file_test_" + std::to_string(now));
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }
  std::string Path(const char *name) { return (folder / name).string(); }
  fs::path folder;
};

TEST_F(PngFileTest, WrittenPixelsReadBackUnchanged) {
  constexpr int kWidth = 13, kHeight = 7;
  std::vector<uint8_t> rgba(size_t{4} * kWidth * kHeight);
  for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = uint8_t(i * 37 + i / 4);
  std::string error;
  ASSERT_TRUE(WritePng(Path("a.png"), kWidth, kHeight, rgba.data(), error)) << error;
  RgbaImage image;
  ASSERT_TRUE(ReadPng(Path("a.png"), 100, 100, image, error)) << error;
  EXPECT_EQ(image.width, kWidth);
  EXPECT_EQ(image.height, kHeight);
  EXPECT_EQ(image.rgba, rgba);
}

TEST_F(PngFileTest, GreyPicturesReadAsOpaqueRgba) {
  const uint8_t pixels[6] = {0, 90, 255, 17, 200, 3};
  ASSERT_NE(stbi_write_png(Path("g.png").c_str(), 3, 2, 1, pixels, 3), 0);
  RgbaImage image;
  std::string error;
  ASSERT_TRUE(ReadPng(Path("g.png"), 10, 10, image, error)) << error;
  ASSERT_EQ(image.rgba.size(), 24u);
  for (size_t p = 0; p < 6; ++p) {
    EXPECT_EQ(image.rgba[4 * p], pixels[p]);
    EXPECT_EQ(image.rgba[4 * p + 1], pixels[p]);
    EXPECT_EQ(image.rgba[4 * p + 2], pixels[p]);
    EXPECT_EQ(image.rgba[4 * p + 3], 255);
  }
}

TEST_F(PngFileTest, RefusesWhatItCannotReadWithTheFileName) {
  std::ofstream(Path("text.png")) << "hello\n";
  const std::vector<uint8_t> rgba(size_t{4} * 20 * 5, 9);
  std::string error;
  ASSERT_TRUE(WritePng(Path("wide.png"), 20, 5, rgba.data(), error)) << error;
  for (const std::string &path : {Path("missing.png"), Path("text.png"), Path("wide.png")}) {
    RgbaImage image;
    error.clear();
    EXPECT_FALSE(ReadPng(path, 19, 100, image, error)) << path;
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_TRUE(image.rgba.empty());
  }
  EXPECT_FALSE(WritePng(Path("no/such/folder.png"), 20, 5, rgba.data(), error));
}

}  // namespace
}  // namespace lumora::sim
