// The suites' installers, in the order start-up runs them. Each writes its
// wrappers into its suite's live table and returns 1, which start-up ignores;
// none reads the suite list it is handed.
#pragma once

#include <cstdint>

#include "abi/host_types.h"

namespace rowfork {

int32_t InstallCore(const PluginParamBlock *block);
int32_t InstallFilt(const PluginParamBlock *block);
int32_t InstallMemo(const PluginParamBlock *block);
int32_t InstallPntg(const PluginParamBlock *block);
int32_t InstallSele(const PluginParamBlock *block);
int32_t InstallBlnd(const PluginParamBlock *block);
int32_t InstallRsmp(const PluginParamBlock *block);
int32_t InstallDisp(const PluginParamBlock *block);
int32_t InstallConv(const PluginParamBlock *block);
int32_t InstallRast(const PluginParamBlock *block);

// Runs every installer, in order.
void RunInstallers(const PluginParamBlock *block);

}  // namespace rowfork
