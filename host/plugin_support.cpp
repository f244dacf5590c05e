#include "host/plugin_support.h"

#include <atomic>
#include <cstdlib>
#include <mutex>

namespace {

std::atomic<int32_t> fail_countdown{0};
std::atomic<int32_t> live_buffers{0};
std::atomic<int32_t> alloc_calls{0};

std::mutex dialog_mutex;
int32_t dialog_calls = 0;
PluginDialogCall last_dialog_call{};

constexpr LumoraMessage kInitDialog = 0x0110;

}  // namespace

extern "C" {

void *WAllocBuffer(int32_t size) {
  alloc_calls.fetch_add(1);
  if (fail_countdown.load() > 0 && fail_countdown.fetch_sub(1) == 1) return nullptr;
  if (size <= 0) return nullptr;
  void *buffer = std::malloc(static_cast<size_t>(size));
  if (buffer != nullptr) live_buffers.fetch_add(1);
  return buffer;
}

int32_t WFreeBuffer(void *buffer) {
  if (buffer == nullptr) return 0;
  live_buffers.fetch_sub(1);
  std::free(buffer);
  return 0;
}

LumoraDialogResult LUMORA_DIALOG_CALL AboutDlgProc(LumoraWindow window, LumoraMessage message,
                                                   LumoraWParam wparam, LumoraLParam lparam) {
  {
    std::lock_guard<std::mutex> lock(dialog_mutex);
    ++dialog_calls;
    last_dialog_call = {window, message, wparam, lparam};
  }
#if defined(_WIN32)
  // A real dialog: the host closes it as soon as it has been set up.
  if (message == kInitDialog && window != nullptr) EndDialog(window, 0);
#endif
  return message == kInitDialog ? 1 : 0;
}

void PluginFailNthAlloc(int32_t nth) { fail_countdown.store(nth); }
int32_t PluginLiveBuffers() { return live_buffers.load(); }
int32_t PluginAllocCalls() { return alloc_calls.load(); }

int32_t PluginDialogCalls(PluginDialogCall *last) {
  std::lock_guard<std::mutex> lock(dialog_mutex);
  if (last != nullptr) *last = last_dialog_call;
  return dialog_calls;
}
}
