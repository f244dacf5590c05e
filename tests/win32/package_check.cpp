// Loads the module file named on the command line as Lumora does: start-up
// answers 0, a call of rast slot 0 over 64 rows runs in more than one band,
// shut-down answers 0, and no host buffer is left. Exit status 0 when all hold.
#include <atomic>
#include <cstdio>

#include "host/host_suites.h"
#include "host/module_loader.h"
#include "host/plugin_support.h"

namespace {

std::atomic<int> bands{0};

int32_t CountBand(void *, void *, int16_t, int16_t, int32_t, int32_t, int16_t, int16_t) {
  bands.fetch_add(1);
  return 0;
}
using RastCall = int32_t (*)(void *, void *, int16_t, int16_t, int32_t, int32_t, int16_t, int16_t);

}  // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: package_check MODULE\n");
    return 2;
  }
  lumora::HostSuites suites;
  suites.SetSlot(lumora::Code("rast"), 0, &CountBand);
  lumora::LoadedModule module(argv[1]);
  if (!module.Loaded()) {
    std::fprintf(stderr, "FAIL: %s: %s\n", argv[1], module.Error().c_str());
    return 1;
  }
  const int16_t started = module.Call(lumora::kSelectStartUp, suites.Block());
  uint8_t row = 0;
  reinterpret_cast<RastCall>(suites.Table(lumora::Code("rast"))[0])(&row, &row, 64, 0, 0, 0, 0, 1);
  const int16_t ended = module.Call(lumora::kSelectShutDown, nullptr);
  std::printf("%s: start-up %d, %d bands, shut-down %d, %d host buffers left\n", argv[1], started, bands.load(),
              ended, PluginLiveBuffers());
  return started == 0 && bands.load() > 1 && ended == 0 && PluginLiveBuffers() == 0 ? 0 : 1;
}
