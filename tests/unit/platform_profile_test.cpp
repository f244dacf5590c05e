// GetPrivateProfileIntA: where the file is found, and INI files as Windows
// reads them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/win32.h"
#include "platform_test_support.h"

namespace {

namespace fs = std::filesystem;
using rowfork::platform_testing::ScopedEnv;

class Profile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "rowfork-profile-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    directory_ = pattern;
  }
  void TearDown() override { fs::remove_all(directory_); }

  std::string Write(const std::string &name, const std::string &text) {
    std::ofstream(directory_ / name, std::ios::binary) << text;
    return (directory_ / name).string();
  }

  // Multithreading of section Lumora in a file holding `text`, default 99.
  UINT Read(const std::string &text) {
    return GetPrivateProfileIntA("Lumora", "Multithreading", 99, Write("read.ini", text).c_str());
  }

  UINT ReadBare(int default_value = 1) {
    return GetPrivateProfileIntA("Lumora", "Multithreading", default_value, "Lumora30.ini");
  }

  fs::path directory_;
};

TEST_F(Profile, ValuesAsWindowsParsesThem) {
  EXPECT_EQ(Read("[Lumora]\nMultithreading=0\n"), 0u);
  EXPECT_EQ(Read("[Lumora]\nMultithreading=7\n"), 7u);
  EXPECT_EQ(Read("[Lumora]\nMultithreading=  12abc ; note\n"), 12u) << "stops at the first non-digit";
  EXPECT_EQ(Read("[Lumora]\nMultithreading=0x1F\n"), 31u);
  EXPECT_EQ(Read("[Lumora]\nMultithreading=+5\n"), 5u);
  EXPECT_EQ(Read("[Lumora]\nMultithreading=-1\n"), 0xFFFFFFFFu) << "a negative value wraps";
  EXPECT_EQ(Read("[Lumora]\nMultithreading=yes\n"), 0u) << "text that is no number reads as 0";
  EXPECT_EQ(Read("[Lumora]\nMultithreading=\"3\"\n"), 3u) << "quotes around a value are dropped";
  EXPECT_EQ(Read("[Lumora]\nMultithreading=  \n"), 99u) << "an empty value gives the default";
}

TEST_F(Profile, SectionsKeysCaseBlanksCommentsAndLineEnds) {
  EXPECT_EQ(Read("[Other]\nMultithreading=1\n[Lumora]\nMultithreading=2\n"), 2u);
  EXPECT_EQ(Read("[lUMORA]\nMULTITHREADING=3\n"), 3u) << "names compare without case";
  EXPECT_EQ(Read("  [ Lumora ]  \n\t Multithreading \t=\t 4 \n"), 4u) << "blanks around names and values";
  EXPECT_EQ(Read("[Lumora]\r\nMultithreading=5\r\n"), 5u) << "CRLF";
  EXPECT_EQ(Read("[Lumora]\r\nMultithreading=\r\n"), 99u);
  EXPECT_EQ(Read("; [Lumora]\n[Lumora]\n;Multithreading=1\n  ; Multithreading=2\nMultithreading=6\n"), 6u);
  EXPECT_EQ(Read("[Lumora]\nMultithreading=8\nMultithreading=9\n"), 8u) << "the first key counts";
  EXPECT_EQ(Read("\xEF\xBB\xBF[Lumora]\nMultithreading=1"), 1u) << "UTF-8 mark, no final line end";
}

TEST_F(Profile, MissingFileSectionOrKeyGivesTheDefault) {
  EXPECT_EQ(GetPrivateProfileIntA("Lumora", "Multithreading", -2, (directory_ / "none.ini").c_str()),
            0xFFFFFFFEu);
  EXPECT_EQ(Read(""), 99u);
  EXPECT_EQ(Read("[Elsewhere]\nMultithreading=1\n"), 99u);
  EXPECT_EQ(Read("[Lumora]\nOther=1\n[Other]\nMultithreading=2\n"), 99u) << "a key of another section";
  EXPECT_EQ(Read("Multithreading=1\n[Lumora]\n"), 99u) << "a key before any section";
  EXPECT_EQ(Read("[Lumora]\nMultithreadingX=1\nMultithreading\n"), 99u) << "another key; no '='";
}

TEST_F(Profile, BareNameIsReadFromWindirOrTheCurrentDirectory) {
  Write("Lumora30.ini", "[Lumora]\nMultithreading=0\n");
  fs::create_directory(directory_ / "cwd");
  const fs::path cwd_before = fs::current_path();
  fs::current_path(directory_ / "cwd");
  {
    ScopedEnv windir("WINDIR", directory_.string());
    EXPECT_EQ(ReadBare(), 0u);
  }
  {
    ScopedEnv windir("WINDIR", (directory_ / "").string());  // a trailing slash
    EXPECT_EQ(ReadBare(), 0u);
  }
  {
    ScopedEnv windir("WINDIR", std::nullopt);
    EXPECT_EQ(ReadBare(), 1u) << "not in the current directory";
    Write("cwd/Lumora30.ini", "[Lumora]\nMultithreading=3\n");
    EXPECT_EQ(ReadBare(), 3u);
  }
  {
    ScopedEnv windir("WINDIR", "/nonexistent");
    const std::string path = Write("own.ini", "[Lumora]\nMultithreading=2\n");
    EXPECT_EQ(GetPrivateProfileIntA("Lumora", "Multithreading", 1, path.c_str()), 2u) << "a path as given";
  }
  fs::current_path(cwd_before);
}

}  // namespace
