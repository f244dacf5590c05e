// The state of a manual-reset event, or of a thread that has ended, in one
// 32-bit futex word:
//
//   bit 0       set
//   bits 1-15   generation: advanced by every set of a clear word
//   bits 16-31  sleepers: threads registered to block on the word
//
// A waiter is released by the word being set, or by a set since it began to
// wait even if the word was reset at once (Win32 releases the threads that
// wait at the moment of the set); the generation tells the two apart from an
// untouched word. It wraps after 32,768 sets, so a waiter misses a set only if
// exactly a multiple of that many happened between two of its looks.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/posix/deadline.h"

namespace rowfork::posix {

class SignalWord {
 public:
  explicit SignalWord(bool set) : word_(set ? kSet : 0) {}
  SignalWord(const SignalWord &) = delete;
  SignalWord &operator=(const SignalWord &) = delete;

  // Sets the word and wakes its sleepers. Makes no system call when nobody
  // sleeps. Touches no memory of this object after
  // the word is set, so a waiter may close the object as soon as it sees it.
  void Set();

  void Reset() { word_.fetch_and(~kSet, std::memory_order_seq_cst); }

  bool IsSet() const { return (Observe() & kSet) != 0; }

  uint32_t Observe() const { return word_.load(std::memory_order_seq_cst); }

  // Waits for the word to fire, sleeping on the futex. False when the
  // deadline passes first.
  bool Wait(const Deadline &deadline);

 private:
  static constexpr uint32_t kSet = 1;
  static constexpr uint32_t kGenerationOne = 2;
  static constexpr uint32_t kGenerationMask = 0xFFFE;
  static constexpr uint32_t kSleeperOne = 0x10000;

  // True when `now` is set, or the word was set after `seen` was observed.
  static bool FiredSince(uint32_t seen, uint32_t now) {
    return (now & kSet) != 0 || ((now ^ seen) & kGenerationMask) != 0;
  }

  std::atomic<uint32_t> word_;
};

}  // namespace rowfork::posix
