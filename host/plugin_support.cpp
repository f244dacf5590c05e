#include "host/plugin_support.h"

#include <atomic>
#include <cstdlib>
#include <mutex>

namespace {

std::atomic<int32_t> fail_countdown{0};
std::atomic<int32_t> live_buffers{0};
std::atomic<int32_t> alloc_calls{0};
std::atomic<PluginAllocHook> alloc_hook{nullptr};

std::mutex dialog_mutex;
int32_t dialog_calls = 0;
PluginDialogCall last_dialog_call{};

constexpr LumoraMessage kInitDialog = 0x0110;

#if defined(_WIN32)
// The dialog hold; set by the test before the dialog and read only on the
// dialog's thread.
PluginDialogHook hold_hook = nullptr;
uint32_t hold_tick_ms = 0;
uint32_t hold_limit_ms = 0;
DWORD held_since = 0;
int32_t hold_ticks = 0;
std::atomic<int32_t> cut_short{0};
constexpr UINT_PTR kHoldTimer = 1;

void CloseDialog(HWND dialog) {
  KillTimer(dialog, kHoldTimer);
  EndDialog(dialog, 0);
}

// A real dialog: ended at once, or held while the hook wants it.
LumoraDialogResult RunDialog(HWND dialog, UINT message) {
  if (message == WM_INITDIALOG) {
    if (hold_hook == nullptr || hold_hook(dialog, 0) != 0) {
      EndDialog(dialog, 0);
    } else {
      held_since = GetTickCount();
      hold_ticks = 0;
      SetTimer(dialog, kHoldTimer, hold_tick_ms, nullptr);
    }
    return TRUE;
  }
  if (message == WM_TIMER && hold_hook != nullptr) {
    if (hold_hook(dialog, ++hold_ticks) != 0) {
      CloseDialog(dialog);
    } else if (GetTickCount() - held_since >= hold_limit_ms) {
      cut_short.fetch_add(1);
      CloseDialog(dialog);
    }
    return TRUE;
  }
  return FALSE;
}
#endif

}  // namespace

extern "C" {

void *WAllocBuffer(int32_t size) {
  alloc_calls.fetch_add(1);
  if (const PluginAllocHook hook = alloc_hook.load()) hook();
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
  if (window != nullptr) return RunDialog(window, message);
#endif
  return message == kInitDialog ? 1 : 0;
}

void PluginFailNthAlloc(int32_t nth) { fail_countdown.store(nth); }
int32_t PluginLiveBuffers() { return live_buffers.load(); }
int32_t PluginAllocCalls() { return alloc_calls.load(); }
void PluginOnAlloc(PluginAllocHook hook) { alloc_hook.store(hook); }

int32_t PluginDialogCalls(PluginDialogCall *last) {
  std::lock_guard<std::mutex> lock(dialog_mutex);
  if (last != nullptr) *last = last_dialog_call;
  return dialog_calls;
}

#if defined(_WIN32)
void PluginHoldDialog(PluginDialogHook hook, uint32_t tick_ms, uint32_t limit_ms) {
  hold_hook = hook;
  hold_tick_ms = tick_ms;
  hold_limit_ms = limit_ms;
}
int32_t PluginDialogsCutShort() { return cut_short.load(); }
#endif
}
