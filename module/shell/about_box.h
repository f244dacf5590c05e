// The about box: the module's dialog 16000 run by the host's dialog procedure.
#pragma once

#include "platform/win32.h"

namespace rowfork {

// The module's own handle, kept when the library is attached (Windows only;
// null on Linux, where the dialog has no resources to load).
extern HINSTANCE ModuleHandle;

// Selector 0. `about` is the host's about record; it may be null.
void ShowAboutBox(const void *about);

}  // namespace rowfork
