#include "host/call_log.h"

namespace lumora {

std::mutex CallLog::mutex_;
std::vector<RecordedCall> CallLog::calls_;

void CallLog::Add(uint32_t suite, int slot, std::initializer_list<int64_t> args) {
  RecordedCall call{suite, slot, CurrentThreadTag(), std::vector<int64_t>(args)};
  std::lock_guard<std::mutex> lock(mutex_);
  calls_.push_back(std::move(call));
}

std::vector<RecordedCall> CallLog::Take() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<RecordedCall> taken;
  taken.swap(calls_);
  return taken;
}

void CallLog::Clear() { Take(); }

}  // namespace lumora
