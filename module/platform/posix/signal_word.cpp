#include "platform/posix/signal_word.h"

#include "platform/posix/futex.h"

namespace rowfork::posix {

// No wake is lost. A sleeper registers with a read-modify-write of the same
// word that a set modifies, and sleeps only while the word still holds the
// value its registration produced. The word's single modification order then
// puts each registration either before the set, which sees the sleeper and
// wakes it (or changes the word under it first), or after, where the sleeper
// sees the set and does not sleep.
void SignalWord::Set() {
  uint32_t before = word_.load(std::memory_order_relaxed);
  uint32_t after;
  do {
    // A set word is written back unchanged: still a release that a waiter's
    // acquire pairs with.
    after = (before & kSet) != 0
                ? before
                : (before & ~kGenerationMask) | ((before + kGenerationOne) & kGenerationMask) | kSet;
  } while (!word_.compare_exchange_weak(before, after, std::memory_order_seq_cst, std::memory_order_relaxed));
  if ((before & kSet) != 0) return;
  if (before >= kSleeperOne) FutexWakeAll(&word_);
}

bool SignalWord::Wait(const Deadline &deadline) {
  const uint32_t seen = Observe();
  if ((seen & kSet) != 0) return true;
  if (deadline.RemainingNs() == 0) return false;
  uint32_t now = word_.fetch_add(kSleeperOne, std::memory_order_seq_cst) + kSleeperOne;
  while (!FiredSince(seen, now)) {
    int64_t timeout_ns = -1;
    if (!deadline.Infinite()) {
      timeout_ns = deadline.RemainingNs();
      if (timeout_ns == 0) break;
    }
    FutexWait(word_, now, timeout_ns);
    now = Observe();
  }
  now = word_.fetch_sub(kSleeperOne, std::memory_order_seq_cst) - kSleeperOne;
  return FiredSince(seen, now);
}

}  // namespace rowfork::posix
