// The processors the process may run on, as its affinity mask gives them;
// the processor count and the pool's placement both start from it.
#pragma once

#include <sched.h>

namespace rowfork::posix {

// The calling thread's affinity mask (the process's, for a thread that never
// changed its own). False when it cannot be read: more processors than a
// cpu_set_t holds, for one.
bool ReadAllowedCpus(cpu_set_t &cpus);

// The processor number of the nth (from 0) processor in `cpus`, or -1.
int NthCpu(const cpu_set_t &cpus, int nth);

}  // namespace rowfork::posix
