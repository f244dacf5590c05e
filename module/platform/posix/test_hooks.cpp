#include "platform/posix/test_hooks.h"

#include <atomic>

#include "platform/posix/kernel_object.h"

namespace rowfork::test_hooks {

namespace {

// Per kind: calls left until the one that fails, 0 when none is to fail.
std::atomic<int> calls_until_failure[static_cast<int>(Failing::kGlobalAlloc) + 1];
std::atomic<int> calls_made[static_cast<int>(Failing::kGlobalAlloc) + 1];
std::atomic<int> open_kernel_objects{0};

std::atomic<int> &Countdown(Failing what) { return calls_until_failure[static_cast<int>(what)]; }

}  // namespace

void FailNthCall(Failing what, int nth) {
  Countdown(what).store(nth > 0 ? nth : 0, std::memory_order_relaxed);
}

bool CallFails(Failing what) {
  calls_made[static_cast<int>(what)].fetch_add(1, std::memory_order_relaxed);
  std::atomic<int> &countdown = Countdown(what);
  int left = countdown.load(std::memory_order_relaxed);
  while (left > 0 && !countdown.compare_exchange_weak(left, left - 1, std::memory_order_relaxed)) {
  }
  return left == 1;
}

int CallsMade(Failing what) { return calls_made[static_cast<int>(what)].load(std::memory_order_relaxed); }

int OpenKernelObjects() { return open_kernel_objects.load(std::memory_order_relaxed); }

}  // namespace rowfork::test_hooks

namespace rowfork::posix {

void NoteObjectOpened() { test_hooks::open_kernel_objects.fetch_add(1, std::memory_order_relaxed); }
void NoteObjectClosed() { test_hooks::open_kernel_objects.fetch_sub(1, std::memory_order_relaxed); }

}  // namespace rowfork::posix
