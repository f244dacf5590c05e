// The module's resources as a host reads them: the module file mapped as data
// (none of its code runs) and read through the Windows resource and version
// calls.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lumora::testing {
namespace {

constexpr WORD kUsEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// Beside the test program, as the build places it.
std::string ModuleFile() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string directory(path, length);
  return directory.substr(0, directory.find_last_of("\\/") + 1) + "Rowfork.lmx";
}

class ModuleResources : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExA(ModuleFile().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module_, nullptr) << "error " << GetLastError();
  }
  void TearDown() override { FreeLibrary(module_); }

  std::vector<uint8_t> Resource(const char *type, int id) {
    HRSRC found = FindResourceExA(module_, type, MAKEINTRESOURCEA(id), kUsEnglish);
    if (found == nullptr) return {};
    const auto *data = static_cast<const uint8_t *>(LockResource(LoadResource(module_, found)));
    return {data, data + SizeofResource(module_, found)};
  }
  std::string String(UINT id) {
    char text[512];
    const int length = LoadStringA(module_, id, text, sizeof text);
    return std::string(text, static_cast<size_t>(length));
  }

  HMODULE module_ = nullptr;
};

TEST_F(ModuleResources, PropertyList) {
  // clang-format off
  const std::vector<uint8_t> expected = {
      0x01, 0x00,  0x00, 0x00, 0x00, 0x00,  0x06, 0x00, 0x00, 0x00,
      'A', 'R', 'M', 'L',  'd', 'n', 'i', 'k',  0, 0, 0, 0,  4, 0, 0, 0,
          'X', 'R', 'M', 'L',
      'A', 'R', 'M', 'L',  'e', 'm', 'a', 'n',  0, 0, 0, 0,  12, 0, 0, 0,
          8, 'T', 'a', 'n', 'd', 'e', 'm', 'i', 'x', 0, 0, 0,
      'A', 'R', 'M', 'L',  's', 'r', 'e', 'v',  0, 0, 0, 0,  4, 0, 0, 0,
          0x00, 0x00, 0x02, 0x00,
      'A', 'R', 'M', 'L',  'y', 't', 'r', 'p',  0, 0, 0, 0,  4, 0, 0, 0,
          0xBC, 0x7F, 0x00, 0x00,
      'A', 'R', 'M', 'L',  't', 'p', 'm', 'c',  0, 0, 0, 0,  16, 0, 0, 0,
          1, 0, 0, 0,  'D', 'u', 'o', 'p', 'l', 'e', 'x', 0,  0, 0, 0, 0,
      'A', 'R', 'M', 'L',  '6', '8', 'x', 'w',  0, 0, 0, 0,  16, 0, 0, 0,
          'E', 'N', 'T', 'R', 'Y', 'P', 'O', 'I', 'N', 'T', '1', 0,  0, 0, 0, 0,
  };
  // clang-format on
  EXPECT_EQ(Resource("PIPL", 16000), expected);
}

TEST_F(ModuleResources, StringTableHoldsThreeStrings) {
  EXPECT_EQ(String(2), "Corelane MP");
  const std::string first = String(1);
  const std::string heading = "Corelane Extension\n";
  ASSERT_EQ(first.rfind(heading, 0), 0u) << first;
  const std::string notice = first.substr(heading.size());
  EXPECT_FALSE(notice.empty());
  EXPECT_EQ(notice.find('\n'), std::string::npos) << "one line";
  EXPECT_EQ(String(16000), "Tandemix Extension  v%s\n\n" + notice +
                               "\n\nAn extension module to support Multiprocessor architectures.");
  for (UINT empty : {0u, 3u, 15u, 16u, 15999u, 16001u}) {
    EXPECT_EQ(String(empty), "") << "string " << empty;
  }
}

TEST_F(ModuleResources, DialogTemplateHeader) {
  const std::vector<uint8_t> dialog = Resource(MAKEINTRESOURCEA(5), 16000);  // RT_DIALOG
  ASSERT_GE(dialog.size(), sizeof(DLGTEMPLATE));
  DLGTEMPLATE header;
  memcpy(&header, dialog.data(), sizeof header);
  EXPECT_EQ(header.style, static_cast<DWORD>(WS_POPUP | DS_MODALFRAME | DS_SETFONT));
  EXPECT_EQ(header.dwExtendedStyle, 0u);
  EXPECT_EQ(header.cdit, 5);
  EXPECT_EQ(header.x, 0);
  EXPECT_EQ(header.y, 0);
  EXPECT_EQ(header.cx, 125);
  EXPECT_EQ(header.cy, 92);
}

TEST_F(ModuleResources, VersionRecord) {
  const std::string file = ModuleFile();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> record(size);
  ASSERT_TRUE(GetFileVersionInfoA(file.c_str(), 0, size, record.data()));

  void *value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(record.data(), "\\", &value, &length));
  ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  const auto *fixed = static_cast<const VS_FIXEDFILEINFO *>(value);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00050000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00800000u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00050000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00060000u);
  // The same numbers as the project's version, which the build gives the tests.
  const auto dotted = [](DWORD most, DWORD least) {
    return std::to_string(most >> 16) + "." + std::to_string(most & 0xFFFF) + "." + std::to_string(least >> 16) +
           "." + std::to_string(least & 0xFFFF);
  };
  EXPECT_EQ(dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS), ROWFORK_FILE_VERSION);
  EXPECT_EQ(dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS), ROWFORK_PRODUCT_VERSION);
  EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
  EXPECT_EQ(fixed->dwFileFlags, static_cast<DWORD>(VS_FF_DEBUG));
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
  EXPECT_EQ(fixed->dwFileSubtype, 0u);
  EXPECT_EQ(fixed->dwFileDateMS, 0u);
  EXPECT_EQ(fixed->dwFileDateLS, 0u);

  ASSERT_TRUE(VerQueryValueA(record.data(), "\\VarFileInfo\\Translation", &value, &length));
  ASSERT_EQ(length, 4u);
  const auto *translation = static_cast<const WORD *>(value);
  EXPECT_EQ(translation[0], 0x8000);
  EXPECT_EQ(translation[1], 0x04B0);

  const std::string notice = String(1).substr(sizeof "Corelane Extension\n" - 1);
  const struct {
    const char *key;
    std::string text;
  } strings[] = {
      {"FileDescription", "Lumora Multithreading Plugin"},
      {"FileVersion", "5.0"},
      {"InternalName", "Rowfork"},
      {"LegalCopyright", notice},
      {"OriginalFilename", "Rowfork.lmx"},
      {"ProductName", "Lumora"},
      {"ProductVersion", "5.0"},
      {"CompanyName", ""},  // ours to word: only present and non-empty
  };
  for (const auto &expected : strings) {
    SCOPED_TRACE(expected.key);
    const std::string path = std::string("\\StringFileInfo\\040904E4\\") + expected.key;
    ASSERT_TRUE(VerQueryValueA(record.data(), path.c_str(), &value, &length));
    const std::string text(static_cast<const char *>(value));
    if (expected.text.empty()) {
      EXPECT_FALSE(text.empty());
    } else {
      EXPECT_EQ(text, expected.text);
    }
  }
}

}  // namespace
}  // namespace lumora::testing
