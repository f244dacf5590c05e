// The substitute host's record of routine calls: which suite and slot ran, on
// which thread, with which arguments. Routines that record are typed by hand
// for the slot they stand in; the log keeps every argument as a number.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <mutex>
#include <type_traits>
#include <vector>

#include "host/thread_tag.h"

namespace lumora {

struct RecordedCall {
  uint32_t suite;
  int slot;
  uint64_t thread;
  std::vector<int64_t> args;
};

class CallLog {
 public:
  static void Add(uint32_t suite, int slot, std::initializer_list<int64_t> args);
  // Every call so far, in the order recorded; the log is emptied.
  static std::vector<RecordedCall> Take();
  static void Clear();

 private:
  static std::mutex mutex_;
  static std::vector<RecordedCall> calls_;
};

template <typename T>
int64_t AsNumber(T value) {
  if constexpr (std::is_pointer_v<T>) {
    return static_cast<int64_t>(reinterpret_cast<intptr_t>(value));
  } else {
    return static_cast<int64_t>(value);
  }
}

// A routine of suite `Suite`, slot `Slot`, with the host's argument list
// Ts...: it records its call and returns `Result`.
template <uint32_t Suite, int Slot, int32_t Result, typename... Ts>
int32_t RecordingRoutine(Ts... args) {
  CallLog::Add(Suite, Slot, {AsNumber(args)...});
  return Result;
}

}  // namespace lumora
