// Linux: the module's own substitute for the Windows calls counts the
// processors this process may use, or ROWFORK_CPUS, and reads its profile
// file from WINDIR.
#include <sched.h>
#include <stdlib.h>
#include <sys/utsname.h>

#include <filesystem>
#include <fstream>

#include "host/sim/machine.h"

namespace lumora::sim {

int MachineProcessors() {
  cpu_set_t set;
  return sched_getaffinity(0, sizeof set, &set) == 0 ? CPU_COUNT(&set) : 1;
}

bool UseProcessors(int threads, std::string &) {
  setenv("ROWFORK_CPUS", std::to_string(threads).c_str(), 1);
  return true;
}

std::string TargetName() {
  utsname name{};
  return uname(&name) == 0 ? std::string("Linux ") + name.machine : "Linux";
}

double LoadAverage() {
  double load = -1;
  std::ifstream("/proc/loadavg") >> load;
  return load;
}

ProfileFolder::ProfileFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "lumora-sim-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) return;
  path_ = pattern;
  setenv("WINDIR", path_.c_str(), 1);
}

void ProfileFolder::Release() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  path_.clear();
}

}  // namespace lumora::sim
