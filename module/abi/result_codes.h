// Result codes written to the host through the entry point's result pointer.
#pragma once

#include <cstdint>

namespace rowfork {

constexpr int16_t kSuccess = 0;
constexpr int16_t kInactive = 42;          // fewer than two processors in use
constexpr int16_t kSuiteMissing = -30900;  // a suite missing, of another version or too small
constexpr int16_t kPoolLacking = -108;     // memory, an event or a thread for the pool
constexpr int16_t kBadSelector = -30300;

}  // namespace rowfork
