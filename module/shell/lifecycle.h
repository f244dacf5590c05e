// The module's life: start-up decides how many processors to use and, with at
// least two, captures the suites, builds the pool and installs the wrappers;
// shut-down ends the pool. The wrappers stay in the host's tables after
// shut-down and run unsplit there.
#pragma once

#include <cstdint>

#include "abi/host_types.h"

namespace rowfork {

// Processors to use: 1 on a Windows outside the NT family or with the profile
// switch off, otherwise the system's count cut to 16 bits.
int16_t GetProcessorCount();

// Selector 1. A second start-up keeps the first capture (the tables now hold
// the module's own wrappers) and only rebuilds a pool that shut-down ended.
int16_t StartUp(const PluginParamBlock *block);

// Selector 2.
void ShutDown();

}  // namespace rowfork
