#include "suites/installers.h"

namespace rowfork {

void RunInstallers(const PluginParamBlock *block) {
  InstallCore(block);
  InstallBlnd(block);
  InstallRast(block);
}

}  // namespace rowfork
