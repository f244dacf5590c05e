// The two futex operations the waits block with. Process-private: the words
// live in this process's memory only.
#pragma once

#include <linux/futex.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstdint>

namespace rowfork::posix {

static_assert(sizeof(std::atomic<uint32_t>) == sizeof(uint32_t) && std::atomic<uint32_t>::is_always_lock_free,
              "a futex word is a plain 32-bit word");

// Sleeps while `word` holds `expected`, at most `timeout_ns` (negative: no
// limit). Returns on a wake, a change of the word, the timeout, a signal, or
// spuriously: the caller always looks at the word again.
inline void FutexWait(std::atomic<uint32_t> &word, uint32_t expected, int64_t timeout_ns) {
  timespec timeout{};
  timespec *limit = nullptr;
  if (timeout_ns >= 0) {
    timeout.tv_sec = static_cast<time_t>(timeout_ns / 1'000'000'000);
    timeout.tv_nsec = static_cast<long>(timeout_ns % 1'000'000'000);
    limit = &timeout;
  }
  syscall(SYS_futex, reinterpret_cast<uint32_t *>(&word), FUTEX_WAIT_PRIVATE, expected, limit, nullptr, 0);
}

// Wakes one thread sleeping on `word`.
inline void FutexWakeOne(std::atomic<uint32_t> *word) {
  syscall(SYS_futex, reinterpret_cast<uint32_t *>(word), FUTEX_WAKE_PRIVATE, 1, nullptr, nullptr, 0);
}

// Wakes every thread sleeping on `word`. Safe even when the word's memory has
// been freed meanwhile: the kernel only uses the address as a key.
inline void FutexWakeAll(std::atomic<uint32_t> *word) {
  syscall(SYS_futex, reinterpret_cast<uint32_t *>(word), FUTEX_WAKE_PRIVATE, INT_MAX, nullptr, nullptr, 0);
}

}  // namespace rowfork::posix
