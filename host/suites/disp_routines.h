// The substitute host's display routines: working routines for the slots the
// module wraps, written from the host's own description of them. Planes are
// rows of bytes at strides that may be negative; a row length "in 4-byte
// units" is a stride of four times that many bytes; slot 23 works on an
// array of 32-bit elements.
#pragma once

#include <cstdint>

#include "host/host_suites.h"

namespace lumora {

// Puts the working display routines into slots 4, 7 to 12, 23 to 25 and 27
// to 29.
void PutDispRoutines(HostSuites &suites);

// Bytes each row routine touches per row of its planes.
constexpr int kDispColumns = 8;

}  // namespace lumora
