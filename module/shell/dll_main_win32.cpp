// The library entry routine keeps the module handle for the about box and
// does nothing else.
#include <windows.h>

#include "shell/about_box.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) rowfork::ModuleHandle = instance;
  return TRUE;
}
