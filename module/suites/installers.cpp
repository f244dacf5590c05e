#include "suites/installers.h"

namespace rowfork {

void RunInstallers(const PluginParamBlock *block) {
  InstallCore(block);
  InstallFilt(block);
  InstallMemo(block);
  InstallPntg(block);
  InstallSele(block);
  InstallBlnd(block);
  InstallRsmp(block);
  InstallDisp(block);
  InstallConv(block);
  InstallRast(block);
}

}  // namespace rowfork
