// The wrapper the module installs in a slot, had by running the installers
// on tables of the caller's own: for code that drives the module directly.
#pragma once

#include "abi/suite_capture.h"
#include "suites/installers.h"

namespace rowfork::testing {

inline GenericRoutine InstalledWrapper(Suite suite, int slot) {
  static GenericRoutine tables[kSuiteCount][128];
  for (int s = 0; s < kSuiteCount; ++s) LiveTables[s] = tables[s];
  RunInstallers(nullptr);
  return tables[static_cast<int>(suite)][slot];
}

}  // namespace rowfork::testing
