// The substitute host's support library, PLUGIN: the three routines the
// module imports, and the switches and counters tests use to watch them.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#include <windows.h>
#if defined(LUMORA_BUILDING_PLUGIN)
#define LUMORA_PLUGIN_API __declspec(dllexport)
#else
#define LUMORA_PLUGIN_API __declspec(dllimport)
#endif
#define LUMORA_DIALOG_CALL CALLBACK
using LumoraDialogResult = INT_PTR;
using LumoraWindow = HWND;
using LumoraMessage = UINT;
using LumoraWParam = WPARAM;
using LumoraLParam = LPARAM;
#else
#define LUMORA_PLUGIN_API __attribute__((visibility("default")))
#define LUMORA_DIALOG_CALL
using LumoraDialogResult = intptr_t;
using LumoraWindow = void *;
using LumoraMessage = uint32_t;
using LumoraWParam = uintptr_t;
using LumoraLParam = intptr_t;
#endif

extern "C" {
LUMORA_PLUGIN_API void *WAllocBuffer(int32_t size);
LUMORA_PLUGIN_API int32_t WFreeBuffer(void *buffer);
LUMORA_PLUGIN_API LumoraDialogResult LUMORA_DIALOG_CALL AboutDlgProc(LumoraWindow window,
                                                                     LumoraMessage message,
                                                                     LumoraWParam wparam,
                                                                     LumoraLParam lparam);

// The nth WAllocBuffer from now on (1 = the next) returns null; 0 turns it off.
LUMORA_PLUGIN_API void PluginFailNthAlloc(int32_t nth);
// Buffers handed out and not yet freed.
LUMORA_PLUGIN_API int32_t PluginLiveBuffers();
// WAllocBuffer calls so far.
LUMORA_PLUGIN_API int32_t PluginAllocCalls();
// From now on every WAllocBuffer first calls `hook` (null: none).
typedef void (*PluginAllocHook)();
LUMORA_PLUGIN_API void PluginOnAlloc(PluginAllocHook hook);

// What the last AboutDlgProc call was given, and how many calls there were.
struct PluginDialogCall {
  LumoraWindow window;
  LumoraMessage message;
  LumoraWParam wparam;
  LumoraLParam lparam;
};
LUMORA_PLUGIN_API int32_t PluginDialogCalls(PluginDialogCall *last);

#if defined(_WIN32)
// How AboutDlgProc runs a real dialog. With no hook (the default) it ends the
// dialog as soon as it is set up. With a hook it keeps the dialog up: it calls
// hook(dialog, 0) while setting it up, then hook(dialog, n) on the nth tick of
// a timer every `tick_ms`, and ends the dialog when the hook returns nonzero,
// or once `limit_ms` have passed (counted by PluginDialogsCutShort).
typedef int32_t (*PluginDialogHook)(HWND dialog, int32_t tick);
LUMORA_PLUGIN_API void PluginHoldDialog(PluginDialogHook hook, uint32_t tick_ms, uint32_t limit_ms);
// Dialogs ended by the time limit rather than by the hook.
LUMORA_PLUGIN_API int32_t PluginDialogsCutShort();
#endif
}
