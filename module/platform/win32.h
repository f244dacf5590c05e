// The Win32 calls the module makes, behind one header. On Windows they are the
// system's own; on Linux the module carries a substitute with the same names,
// types and meaning (platform/posix), chosen by the build.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#else
#include "platform/posix/win32_subset.h"
#endif
