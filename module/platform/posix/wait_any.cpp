#include "platform/posix/wait_any.h"

#include <memory>
#include <new>

#include "platform/posix/any_waiters.h"
#include "platform/posix/futex.h"
#include "platform/posix/kernel_object.h"
#include "platform/posix/spin.h"

namespace rowfork::posix {

AnyWaiters any_waiters;

void WakeAnyWaiters() {
  any_waiters.epoch.fetch_add(1, std::memory_order_seq_cst);
  FutexWakeAll(&any_waiters.epoch);
}

namespace {

// What each object's word held when the wait began, kept on the stack for the
// usual handful of objects.
class Snapshots {
 public:
  explicit Snapshots(DWORD count)
      : heap_(count > kOnStack ? new (std::nothrow) uint32_t[count] : nullptr),
        values_(count > kOnStack ? heap_.get() : on_stack_) {}
  Snapshots(const Snapshots &) = delete;
  Snapshots &operator=(const Snapshots &) = delete;
  bool Ok() const { return values_ != nullptr; }
  uint32_t &operator[](DWORD i) { return values_[i]; }

 private:
  static constexpr DWORD kOnStack = 64;
  uint32_t on_stack_[kOnStack];
  std::unique_ptr<uint32_t[]> heap_;
  uint32_t *values_;
};

SignalWord &WordOf(HANDLE handle) { return ObjectFromHandle(handle)->signalled; }

}  // namespace

long WaitForAnyObject(const HANDLE *handles, DWORD count, const Deadline &deadline) {
  Snapshots seen(count);
  if (!seen.Ok()) return kAnyNoMemory;
  for (DWORD i = 0; i < count; ++i) seen[i] = WordOf(handles[i]).Observe();
  auto first_fired = [&]() -> long {
    for (DWORD i = 0; i < count; ++i) {
      if (SignalWord::FiredSince(seen[i], WordOf(handles[i]).Observe())) return static_cast<long>(i);
    }
    return kAnyTimedOut;
  };

  long fired = first_fired();
  if (fired >= 0) return fired;
  if (SpinUntil([&] { return (fired = first_fired()) >= 0; }, deadline)) return fired;

  // Registered before any look at the words, so a set that this thread's look
  // misses sees the registration and advances the epoch (SignalWord::Set).
  any_waiters.sleepers.fetch_add(1, std::memory_order_seq_cst);
  for (;;) {
    const uint32_t epoch = any_waiters.epoch.load(std::memory_order_seq_cst);
    fired = first_fired();
    if (fired >= 0) break;
    int64_t timeout_ns = -1;
    if (!deadline.Infinite()) {
      timeout_ns = deadline.RemainingNs();
      if (timeout_ns == 0) break;
    }
    FutexWait(any_waiters.epoch, epoch, timeout_ns);
  }
  any_waiters.sleepers.fetch_sub(1, std::memory_order_seq_cst);
  return fired;
}

}  // namespace rowfork::posix
