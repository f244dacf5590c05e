#include "host/host_fixture.h"

#include <cstdio>
#include <fstream>

#if defined(_WIN32)
#include <windows.h>
#else
#include <stdlib.h>
#include <unistd.h>
#endif

namespace lumora::testing {

#if defined(_WIN32)

bool ModuleTest::CanChooseProcessors() { return false; }
void ModuleTest::UseProcessors(int) {}
int ModuleTest::MachineProcessors() {
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  return static_cast<int>(info.dwNumberOfProcessors);
}

static std::string ProfileDirectory() {
  char directory[MAX_PATH];
  GetWindowsDirectoryA(directory, MAX_PATH);
  return directory;
}

#else

bool ModuleTest::CanChooseProcessors() { return true; }
int ModuleTest::MachineProcessors() { return 2; }
void ModuleTest::UseProcessors(int count) { setenv("ROWFORK_CPUS", std::to_string(count).c_str(), 1); }

static std::string ProfileDirectory() {
  char pattern[] = "/tmp/rowfork-profile-XXXXXX";
  const char *made = mkdtemp(pattern);
  const std::string directory = made != nullptr ? made : "/tmp";
  setenv("WINDIR", directory.c_str(), 1);
  return directory;
}

#endif

void ModuleTest::SetUp() {
  profile_directory_ = ProfileDirectory();
  WriteProfile("");
  UseProcessors(2);
  Load();
}

void ModuleTest::Reload() {
  ShutDown();
  ASSERT_TRUE(module->Unload()) << "the module stayed loaded";
  Load();
}

void ModuleTest::Load() {
  CallLog::Clear();
  suites.emplace();
  PrepareSuites();
  module = std::make_unique<LoadedModule>(BuiltModulePath());
  ASSERT_TRUE(module->Loaded()) << module->Error();
}

void ModuleTest::TearDown() {
  ShutDown();
  EXPECT_TRUE(module->Unload()) << "the module stayed loaded";
  WriteProfile("");
#if !defined(_WIN32)
  rmdir(profile_directory_.c_str());
  unsetenv("ROWFORK_CPUS");
  unsetenv("WINDIR");
#endif
}

void ModuleTest::WriteProfile(const std::string &contents) {
  const std::string path = profile_directory_ + "/Lumora30.ini";
  if (contents.empty()) {
    std::remove(path.c_str());
    return;
  }
  std::ofstream(path) << contents;
}

}  // namespace lumora::testing
