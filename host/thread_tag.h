// A number that tells the threads of the process apart.
#pragma once

#include <cstdint>

namespace lumora {

uint64_t CurrentThreadTag();

// Threads the process has now (for checking that none was left behind). The
// first call starts and ends a thread of its own, so that a runtime which
// starts a helper thread along with the first new thread (ThreadSanitizer's)
// has done so before anything is counted.
int ProcessThreadCount();

}  // namespace lumora
