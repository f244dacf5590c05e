#include "platform/posix/affinity.h"

namespace rowfork::posix {

bool ReadAllowedCpus(cpu_set_t &cpus) {
  CPU_ZERO(&cpus);
  return sched_getaffinity(0, sizeof cpus, &cpus) == 0 && CPU_COUNT(&cpus) > 0;
}

int NthCpu(const cpu_set_t &cpus, int nth) {
  for (size_t cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
    if (CPU_ISSET(cpu, &cpus) && nth-- == 0) return static_cast<int>(cpu);
  }
  return -1;
}

}  // namespace rowfork::posix
