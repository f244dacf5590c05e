// What lumora-sim needs of the system it runs on, one source per target:
// the processors the module will see, where the module reads its profile
// switch, and how to say which build of the module a table measured.
#pragma once

#include <string>

namespace lumora::sim {

// The module's profile file, by the name it reads.
inline constexpr const char *kProfileFile = "Lumora30.ini";

// The machine's processors as the module counts them at start-up when nothing
// tells it otherwise (on Linux, those this process may run on).
int MachineProcessors();

// Makes the module see `threads` processors; false, with a one-line reason,
// where the system decides that and it differs.
bool UseProcessors(int threads, std::string &error);

// The build this program (and the module file it loads) was made for, and
// what runs it: "Linux x86_64", "32-bit Windows, under Wine 8.0",
// "64-bit Windows, the measuring build, under Wine 8.0".
std::string TargetName();

// The system's load average over the last minute; negative where there is none.
double LoadAverage();

// The folder the module reads its profile file from at start-up: a folder of
// the run's own where the module can be told where to look, else the Windows
// directory, whose profile file is the user's and is put back as it was.
class ProfileFolder {
 public:
  ProfileFolder();
  ~ProfileFolder() { Release(); }
  ProfileFolder(const ProfileFolder &) = delete;
  ProfileFolder &operator=(const ProfileFolder &) = delete;

  // Empty when there is none to be had, or once released.
  const std::string &Path() const { return path_; }
  // Leaves the folder as it was found, as soon as the module has started.
  void Release();

 private:
  std::string path_;
  std::string saved_;  // the profile file found there, if any
  bool had_file_ = false;
};

}  // namespace lumora::sim
