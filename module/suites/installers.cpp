#include "suites/installers.h"

namespace rowfork {

void RunInstallers(const PluginParamBlock *block) {
  InstallCore(block);
  InstallSele(block);
  InstallRast(block);
}

}  // namespace rowfork
