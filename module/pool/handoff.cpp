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
//   wakes the waiter. A wait on the word itself returns at once if the word
//   no longer holds kAsleep when it begins, and the system orders it with
//   the wake; an event is manual-reset, so its set holds even when it lands
//   before the waiter has begun to wait.
// - The exchange first: the word holds kHanded, the compare-exchange fails,
//   and the waiter goes on without sleeping.
//
// Either way the waiter sleeps until the word leaves kAsleep, looking again
// after every return. It resets the event after its wait returns, and only a
// later compare-exchange of its own can lead to the next set; so no reset
// wipes out a set meant for a later split. Nor is a hand lost to the waiter's
// store of kIdle: the other side hands again only after the waiter has
// answered, and the waiter stores kIdle before that. (Shut-down sets every
// start event whatever the word held; the workers end then and never reset
// it.)

namespace {

// Sleeping on a word (WaitOnAddress): the hander's wake goes straight to the
// sleeper, where an event's set goes through a kernel object, and under Wine
// through Wine's server, a process of its own whose turn on a busy processor
// can hold a wake up for milliseconds. Looked up by name, so that the module
// still loads where the system has none and sleeps on its events there.
struct WordWaits {
  BOOL(WINAPI *wait)(volatile void *address, PVOID compare, SIZE_T size, DWORD milliseconds);
  void(WINAPI *wake)(PVOID address);
};

WordWaits FindWordWaits() {
  const HMODULE system = GetModuleHandleA("kernelbase.dll");
  if (system == nullptr) return {};
  WordWaits found{
      reinterpret_cast<decltype(WordWaits::wait)>(
          reinterpret_cast<void *>(GetProcAddress(system, "WaitOnAddress"))),
      reinterpret_cast<decltype(WordWaits::wake)>(
          reinterpret_cast<void *>(GetProcAddress(system, "WakeByAddressSingle")))};
  return found.wait != nullptr && found.wake != nullptr ? found : WordWaits{};
}

// Set while the pool is built, before any worker runs.
SpinPolicy worker_spin;
SpinPolicy join_spin;
WordWaits word_waits;  // both null: sleep on the events

// Waits for every handle of `handles` and resets each; there are never more
// than WaitForMultipleObjects takes.
void WaitAndReset(const HANDLE *handles, int count) {
  [[maybe_unused]] const DWORD waited =
      WaitForMultipleObjects(static_cast<DWORD>(count), handles, TRUE, INFINITE);
  assert(waited < WAIT_OBJECT_0 + static_cast<DWORD>(count));
  for (int i = 0; i < count; ++i) ResetEvent(handles[i]);
}

bool Handed(const std::atomic<uint32_t> &word) { return word.load(std::memory_order_acquire) == kHanded; }

bool Asleep(const std::atomic<uint32_t> &word) { return word.load(std::memory_order_acquire) == kAsleep; }

// Sleeps until the other side hands `word`, which holds kAsleep.
void SleepOn(std::atomic<uint32_t> &word, HANDLE event) {
  if (word_waits.wait != nullptr) {
    uint32_t asleep = kAsleep;
    while (Asleep(word)) word_waits.wait(&word, &asleep, sizeof asleep, INFINITE);
    return;
  }
  do {
    WaitForSingleObject(event, INFINITE);
    ResetEvent(event);
  } while (Asleep(word));
}

// Wakes the side sleeping on `word`, now handed.
void WakeOn(std::atomic<uint32_t> &word, HANDLE event) {
  if (word_waits.wake != nullptr) {
    word_waits.wake(&word);
  } else {
    SetEvent(event);
  }
}

// Announces that the waiter will sleep: false when the word has been handed
// meanwhile.
bool AnnounceSleep(std::atomic<uint32_t> &word) {
  uint32_t expected = kIdle;
  return word.compare_exchange_strong(expected, kAsleep, std::memory_order_acq_rel,
                                      std::memory_order_acquire);
}

// Hands the word on; true when its waiter sleeps and must be woken.
bool Hand(std::atomic<uint32_t> &word) {
  return word.exchange(kHanded, std::memory_order_acq_rel) == kAsleep;
}

// The caller's sleep on the events: on every busy worker's done event at
// once, as many as WaitForMultipleObjects takes at a time.
void SleepOnDoneEvents(int first_busy, int workers) {
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

}  // namespace

void PrepareHandOff(bool placed) {
  word_waits = FindWordWaits();
  worker_spin = {TicksIn(placed ? kWorkerSpinUs : kSharedSpinUs), !placed};
  join_spin = {TicksIn(placed ? kJoinSpinUs : kSharedSpinUs), !placed};
}

bool AnyWorkerAsleep(int workers) {
  for (int k = 0; k < workers; ++k) {
    if (Asleep(Gates[k].start)) return true;
  }
  return false;
}

void StartWorkers(int workers) {
  for (int k = 0; k < workers; ++k) {
    if (Hand(Gates[k].start)) WakeOn(Gates[k].start, StartEvents[k]);
  }
}

void JoinWorkers(int workers) {
  int first_busy = 0;  // every worker before it has finished
  auto all_finished = [&] {
    while (first_busy < workers && Handed(Gates[first_busy].done)) ++first_busy;
    return first_busy == workers;
  };
  if (!SpinUntil(all_finished, join_spin)) {
    if (word_waits.wait != nullptr) {
      for (int k = first_busy; k < workers; ++k) {
        if (AnnounceSleep(Gates[k].done)) SleepOn(Gates[k].done, DoneEvents[k]);
      }
    } else {
      SleepOnDoneEvents(first_busy, workers);
    }
  }
  for (int k = 0; k < workers; ++k) Gates[k].done.store(kIdle, std::memory_order_relaxed);
}

void WakeWorkersToEnd(int workers) {
  for (int k = 0; k < workers; ++k) {
    Hand(Gates[k].start);
    SetEvent(StartEvents[k]);
    if (word_waits.wake != nullptr) word_waits.wake(&Gates[k].start);
  }
}

void AwaitStart(int k) {
  std::atomic<uint32_t> &start = Gates[k].start;
  if (!SpinUntil([&start] { return Handed(start); }, worker_spin) && AnnounceSleep(start)) {
    SleepOn(start, StartEvents[k]);
  }
  start.store(kIdle, std::memory_order_relaxed);
}

void ReportDone(int k) {
  if (Hand(Gates[k].done)) WakeOn(Gates[k].done, DoneEvents[k]);
}

}  // namespace rowfork
