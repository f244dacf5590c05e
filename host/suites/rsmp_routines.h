// The substitute host's resampling routines: working routines for the slots
// the module wraps, written from the host's own description of them. Planes
// are rows of bytes at strides that may be negative; per-row tables hold one
// entry per row (2, 4 or 32 bytes); slots 3 and 7 work on a run of bytes;
// slot 4 fills multiplication tables.
#pragma once

#include <cstdint>

#include "host/host_suites.h"

namespace lumora {

// Puts the working resampling routines into slots 0 to 4 and 6 to 13.
void PutRsmpRoutines(HostSuites &suites);

// Bytes each row routine touches per row of its planes.
constexpr int kRsmpColumns = 8;

// Slot 4's tables, each entry computed on its own from its definition: for
// column i of `columns` and row j of the 32 x `columns` matrix of 16-bit
// coefficients, a table of 256 32-bit entries whose entry m is
// (32,768 if i is 0, else 0) + 4 * m * coefficient, wrapping.
int32_t MultiplyTablesByFormula(int16_t columns, void *coefficients, void *output);

}  // namespace lumora
