#include "shell/lifecycle.h"

#include "platform/win32.h"
#include "pool/fork_join.h"
#include "pool/worker_pool.h"
#include "shell/result_codes.h"
#include "shell/suite_capture.h"
#include "suites/installers.h"

namespace rowfork {
namespace {

// Set once the installers have run: from then on the host's tables hold the
// module's wrappers, which must never be captured as saved routines.
bool WrappersInstalled;

}  // namespace

int16_t GetProcessorCount() {
  if ((GetVersion() & 0x80000000u) != 0) return 1;
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  if (GetPrivateProfileIntA("Lumora", "Multithreading", 1, "Lumora30.ini") == 0) return 1;
  return static_cast<int16_t>(info.dwNumberOfProcessors);
}

int16_t StartUp(const PluginParamBlock *block) {
  if (PoolExists()) return kSuccess;
  ThreadCount = GetProcessorCount();
  if (ThreadCount < 2) return kInactive;
  if (!WrappersInstalled) {
    const int16_t captured = CaptureSuites(block);
    if (captured != kSuccess) return captured;
  }
  const int16_t built = CreateWorkerPool(ThreadCount);
  if (built != kSuccess) return built;
  if (!WrappersInstalled) {
    RunInstallers(block);
    WrappersInstalled = true;
  }
  return kSuccess;
}

void ShutDown() {
  if (ThreadCount < 2 || !PoolExists()) return;
  // A misbehaving host may still be inside a split on another thread.
  WaitAndClaimPool();
  DestroyWorkerPool();
  ReleasePool();
}

}  // namespace rowfork
