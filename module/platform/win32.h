// The Win32 calls the module makes, behind one header. On Windows they are the
// system's own; on Linux the module carries a substitute with the same names,
// types and meaning (platform/posix), chosen by the build.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#else
#include "platform/posix/win32_subset.h"
#endif

namespace rowfork {

// Where the pool's threads run. Linux tends to wake a thread on the processor
// of the thread that woke it, so a woken worker would share the caller's
// processor and a split would gain nothing: there every worker gets a
// processor of its own when the process has enough, and a worker whose
// processor the caller is on when a split begins makes way for it. Windows
// leaves placement to its scheduler, and these do nothing there.

// Binds worker `worker` (0 .. participants - 2) of a pool of `participants`
// threads, the calling thread included. Called while the worker is suspended.
void PlaceWorker(HANDLE thread, int worker, int participants);

// Forgets the placement when the pool is destroyed.
void ForgetWorkerPlacement();

// Moves the worker bound to the calling thread's processor, if any, to the
// processor no worker holds, before a split wakes the workers. Only the
// pool's claimant calls it.
void MakeWayForCaller();

}  // namespace rowfork
