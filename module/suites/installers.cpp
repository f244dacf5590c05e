#include "suites/installers.h"

namespace rowfork {

void RunInstallers(const PluginParamBlock *block) {
  InstallCore(block);
  InstallFilt(block);
  InstallMemo(block);
  InstallPntg(block);
  InstallSele(block);
  InstallBlnd(block);
  InstallConv(block);
  InstallRast(block);
}

}  // namespace rowfork
