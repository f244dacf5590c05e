// Windows leaves placement to its scheduler, which spreads woken threads over
// the processors by itself.
#include "platform/win32.h"

namespace rowfork {

void PlaceWorker(HANDLE, int, int) {}
void ForgetWorkerPlacement() {}
void MakeWayForCaller() {}

}  // namespace rowfork
