#include "pool/handoff.h"

#include <cassert>

#include "pool/pool_state.h"
#include "pool/spin.h"

namespace rowfork {

// No wake-up is lost. The waiter's compare-exchange (kIdle to kAsleep) and
// the hander's exchange (to kHanded) are read-modify-writes of one word, so
// one of them comes first in that word's order of modifications:
//
// - The compare-exchange first: the exchange replaces kAsleep and the hander
//   sets the event. The event is manual-reset, so the set holds even when it
//   lands before the waiter has begun to wait.
// - The exchange first: the word holds kHanded, the compare-exchange fails,
//   and the waiter goes on without sleeping.
//
// The waiter resets the event after its wait returns, and only a later
// compare-exchange of its own can lead to the next set; so no reset wipes out
// a set meant for a later split, and every set ends exactly one sleep. Nor is
// a hand lost to the waiter's store of kIdle: the other side hands again only
// after the waiter has answered, and the waiter stores kIdle before that.
// (Shut-down sets every start event whatever the word held; the workers end
// then and never reset it.)

namespace {

// Set while the pool is built, before any worker runs.
SpinPolicy worker_spin;
SpinPolicy join_spin;

// Waits for every handle of `handles` and resets each; there are never more
// than WaitForMultipleObjects takes.
void WaitAndReset(const HANDLE *handles, int count) {
  [[maybe_unused]] const DWORD waited =
      WaitForMultipleObjects(static_cast<DWORD>(count), handles, TRUE, INFINITE);
  assert(waited < WAIT_OBJECT_0 + static_cast<DWORD>(count));
  for (int i = 0; i < count; ++i) ResetEvent(handles[i]);
}

bool Handed(const std::atomic<uint32_t> &word) { return word.load(std::memory_order_acquire) == kHanded; }

// Announces that the waiter will sleep on the word's event: false when the
// word has been handed meanwhile.
bool AnnounceSleep(std::atomic<uint32_t> &word) {
  uint32_t expected = kIdle;
  return word.compare_exchange_strong(expected, kAsleep, std::memory_order_acq_rel,
                                      std::memory_order_acquire);
}

// Hands the word on; true when its waiter sleeps and must be woken.
bool Hand(std::atomic<uint32_t> &word) {
  return word.exchange(kHanded, std::memory_order_acq_rel) == kAsleep;
}

}  // namespace

void ChooseSpin(bool placed) {
  worker_spin = {TicksIn(placed ? kWorkerSpinUs : kSharedSpinUs), !placed};
  join_spin = {TicksIn(placed ? kJoinSpinUs : kSharedSpinUs), !placed};
}

void StartWorkers(int workers) {
  for (int k = 0; k < workers; ++k) {
    if (Hand(Gates[k].start)) SetEvent(StartEvents[k]);
  }
}

void JoinWorkers(int workers) {
  int first_busy = 0;  // every worker before it has finished
  auto all_finished = [&] {
    while (first_busy < workers && Handed(Gates[first_busy].done)) ++first_busy;
    return first_busy == workers;
  };
  if (!SpinUntil(all_finished, join_spin)) {
    HANDLE sleep_on[MAXIMUM_WAIT_OBJECTS];
    int count = 0;
    for (int k = first_busy; k < workers; ++k) {
      if (!AnnounceSleep(Gates[k].done)) continue;  // finished meanwhile
      sleep_on[count++] = DoneEvents[k];
      if (count == MAXIMUM_WAIT_OBJECTS) {
        WaitAndReset(sleep_on, count);
        count = 0;
      }
    }
    if (count > 0) WaitAndReset(sleep_on, count);
  }
  for (int k = 0; k < workers; ++k) Gates[k].done.store(kIdle, std::memory_order_relaxed);
}

void WakeWorkersToEnd(int workers) {
  for (int k = 0; k < workers; ++k) {
    Hand(Gates[k].start);
    SetEvent(StartEvents[k]);
  }
}

void AwaitStart(int k) {
  std::atomic<uint32_t> &start = Gates[k].start;
  if (!SpinUntil([&start] { return Handed(start); }, worker_spin) && AnnounceSleep(start)) {
    do {
      WaitForSingleObject(StartEvents[k], INFINITE);
      ResetEvent(StartEvents[k]);
    } while (!Handed(start));
  }
  start.store(kIdle, std::memory_order_relaxed);
}

void ReportDone(int k) {
  if (Hand(Gates[k].done)) SetEvent(DoneEvents[k]);
}

}  // namespace rowfork
