#include "suites/installers.h"

namespace rowfork {

void RunInstallers(const PluginParamBlock *block) {
  InstallCore(block);
  InstallFilt(block);
  InstallRast(block);
}

}  // namespace rowfork
