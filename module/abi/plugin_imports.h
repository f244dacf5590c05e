// The host's support library (PLUGIN.dll on Windows; on Linux the host
// process provides the same three routines).
#pragma once

#include <cstdint>

#include "platform/win32.h"

extern "C" {
void *WAllocBuffer(int32_t size);  // null when memory is short
int32_t WFreeBuffer(void *buffer);
INT_PTR CALLBACK AboutDlgProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
}
