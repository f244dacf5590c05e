// The module's one export: the host calls it with a selector at start-up,
// at shut-down, and for the about box.
#include <cstdint>

#include "abi/host_types.h"
#include "abi/result_codes.h"
#include "shell/about_box.h"
#include "shell/lifecycle.h"

#if defined(_WIN32)
#define ROWFORK_EXPORT
#else
#define ROWFORK_EXPORT __attribute__((visibility("default")))
#endif

namespace {

enum Selector : int16_t { kAbout = 0, kStartUp = 1, kShutDown = 2 };

void Report(int16_t *result, int16_t code) {
  if (result != nullptr) *result = code;
}

}  // namespace

// `data` is the host's and is never read or written.
extern "C" ROWFORK_EXPORT void ENTRYPOINT1(int16_t selector, void *block, int32_t *data, int16_t *result) {
  (void)data;
  Report(result, rowfork::kSuccess);
  switch (selector) {
    case kAbout:
      rowfork::ShowAboutBox(block);
      break;
    case kStartUp:
      Report(result, rowfork::StartUp(static_cast<const rowfork::PluginParamBlock *>(block)));
      break;
    case kShutDown:
      rowfork::ShutDown();
      break;
    default:
      Report(result, rowfork::kBadSelector);
      break;
  }
}
