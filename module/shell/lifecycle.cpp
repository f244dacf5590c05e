#include "shell/lifecycle.h"

#include "abi/result_codes.h"
#include "abi/suite_capture.h"
#include "platform/win32.h"
#include "pool/pool.h"
#include "suites/installers.h"

namespace rowfork {
namespace {

// Set once the installers have run: from then on the host's tables hold the
// module's wrappers, which must never be captured as saved routines.
bool WrappersInstalled;

int16_t StartUpHoldingPool(const PluginParamBlock *block) {
  if (PoolExists()) return kSuccess;
  const int16_t participants = GetProcessorCount();
  if (participants < 2) return kInactive;
  if (!WrappersInstalled) {
    const int16_t captured = CaptureSuites(block);
    if (captured != kSuccess) return captured;
  }
  const int16_t built = CreateWorkerPool(participants);
  if (built != kSuccess) return built;
  if (!WrappersInstalled) {
    RunInstallers(block);
    WrappersInstalled = true;
  }
  return kSuccess;
}

}  // namespace

int16_t GetProcessorCount() {
  if ((GetVersion() & 0x80000000u) != 0) return 1;
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  if (GetPrivateProfileIntA("Lumora", "Multithreading", 1, "Lumora30.ini") == 0) return 1;
  return static_cast<int16_t>(info.dwNumberOfProcessors);
}

// Start-up holds the pool while it builds it: a wrapped call that a misbehaving
// host makes meanwhile from another thread runs unsplit instead of finding a
// pool half built.
int16_t StartUp(const PluginParamBlock *block) {
  WaitAndClaimPool();
  const int16_t result = StartUpHoldingPool(block);
  ReleasePool();
  return result;
}

// A misbehaving host may still be inside a split on another thread: shut-down
// waits for it to give the pool back.
void ShutDown() {
  WaitAndClaimPool();
  if (PoolExists()) DestroyWorkerPool();
  ReleasePool();
}

}  // namespace rowfork
