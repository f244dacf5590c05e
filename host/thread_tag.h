// A number that tells the threads of the process apart.
#pragma once

#include <cstdint>

namespace lumora {

uint64_t CurrentThreadTag();

// Threads the process has now (for checking that none was left behind).
int ProcessThreadCount();

}  // namespace lumora
