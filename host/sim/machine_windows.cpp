// Windows: the module counts every processor the system reports and reads
// its profile file from the Windows directory, as it does in Lumora.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "host/sim/machine.h"

namespace lumora::sim {

int MachineProcessors() {
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  return static_cast<int>(info.dwNumberOfProcessors);
}

bool UseProcessors(int threads, std::string &error) {
  if (threads == MachineProcessors()) return true;
  error = "--threads: on Windows the module uses every processor the system reports (" +
          std::to_string(MachineProcessors()) + ")";
  return false;
}

std::string TargetName() {
  // Wine's own export, absent from Windows.
  using Version = const char *(*)();
  const auto version = reinterpret_cast<Version>(
      reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")));
  // The 64-bit build exists only to measure the Windows path; users install the 32-bit one.
  const std::string build = sizeof(void *) == 8 ? "64-bit Windows, the measuring build" : "32-bit Windows";
  return version != nullptr ? build + ", under Wine " + version() : build;
}

double LoadAverage() { return -1; }

ProfileFolder::ProfileFolder() {
  char directory[MAX_PATH];
  const UINT length = GetWindowsDirectoryA(directory, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  path_ = directory;
  std::ifstream file(path_ + "\\" + kProfileFile, std::ios::binary);
  had_file_ = bool(file);
  if (had_file_) saved_.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void ProfileFolder::Release() {
  if (path_.empty()) return;
  const std::string profile = path_ + "\\" + kProfileFile;
  if (had_file_) {
    std::ofstream(profile, std::ios::binary | std::ios::trunc) << saved_;
  } else {
    std::remove(profile.c_str());
  }
  path_.clear();
}

}  // namespace lumora::sim
