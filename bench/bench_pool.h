// A live pool for a benchmark, and the same bands run by OpenMP and oneTBB.
#pragma once

#include <cstdint>

namespace rowfork::bench {

// Builds the module's pool for `threads` participants (rebuilding it when the
// count changes).
void UsePool(int threads);

}  // namespace rowfork::bench
