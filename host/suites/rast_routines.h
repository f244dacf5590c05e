// The substitute host's raster routines: working row routines for the four
// slots the module wraps, written from the host's own description of them.
#pragma once

#include "host/host_suites.h"

namespace lumora {

// Puts the working raster routines into slots 0 to 3.
void PutRastRoutines(HostSuites &suites);

// Bytes each raster routine touches per row of its planes.
constexpr int kRastColumns = 12;

}  // namespace lumora
