// The processors the process may run on, as its affinity mask gives them;
// the processor count and the affinity calls both start from it.
#pragma once

#include <sched.h>

namespace rowfork::posix {

// The mask of the process's first thread, which the process started with.
// False when it cannot be read: more processors than a cpu_set_t holds, for
// one.
bool ReadProcessCpus(cpu_set_t &cpus);

}  // namespace rowfork::posix
