// The core suite: nothing is split. Slots 1 and 11 answer from the pool, so
// that a routine running inside a slice learns that a split is in progress;
// slot 3 passes its call through.
#include "pool/pool.h"
#include "suites/install.h"
#include "suites/installers.h"

namespace rowfork {
namespace {

using CoreQuery = int32_t (*)();
using CorePassThrough = int32_t (*)(int32_t, int32_t, int32_t);

// 1 while a split is in progress, without calling the host.
int32_t CoreSlot1() {
  if (SplitInProgress()) return 1;
  return reinterpret_cast<CoreQuery>(SavedRoutine(Suite::core, 1))();
}

// 1 when no split is in progress, 0 while one is; the host's routine is never called.
int32_t CoreSlot11() { return SplitInProgress() ? 0 : 1; }

int32_t CoreSlot3(int32_t a, int32_t b, int32_t c) {
  return reinterpret_cast<CorePassThrough>(SavedRoutine(Suite::core, 3))(a, b, c);
}

}  // namespace

int32_t InstallCore(const PluginParamBlock *) {
  Install<Suite::core, Hook<1, CoreSlot1>, Hook<11, CoreSlot11>, Hook<3, CoreSlot3>>();
  return 1;
}

}  // namespace rowfork
