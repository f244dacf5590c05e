#include "platform/posix/affinity.h"

#include <unistd.h>

namespace rowfork::posix {

bool ReadProcessCpus(cpu_set_t &cpus) {
  CPU_ZERO(&cpus);
  return sched_getaffinity(getpid(), sizeof cpus, &cpus) == 0 && CPU_COUNT(&cpus) > 0;
}

}  // namespace rowfork::posix
