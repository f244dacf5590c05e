// Threads in a wait-any cannot sleep on the futex words of all their objects
// at once, so they sleep on one process-wide epoch instead, which every set of
// a clear word advances while any such thread sleeps. Wait-any is rare; a set
// pays one load of a read-mostly word for it.
#pragma once

#include <atomic>
#include <cstdint>

namespace rowfork::posix {

struct alignas(64) AnyWaiters {
  // Threads registered to sleep in a wait-any; each adds itself before it
  // looks at its words and removes itself when it returns.
  std::atomic<uint32_t> sleepers{0};
  // Advanced (then woken) by every set of a clear word while sleepers > 0.
  std::atomic<uint32_t> epoch{0};
};

extern AnyWaiters any_waiters;

void WakeAnyWaiters();

// Called by a set right after it set a clear word. The load pairs with the
// wait-any's registration as described in SignalWord::Set.
inline void NotifyAnyWaiters() {
  if (any_waiters.sleepers.load(std::memory_order_seq_cst) != 0) WakeAnyWaiters();
}

}  // namespace rowfork::posix
