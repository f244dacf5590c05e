// The substitute host's memory routines: working row routines for the 15
// slots the module wraps, written from the host's own description of them.
// Slots 21 and 32 to 35 answer questions about their rows (whether every row
// matches, sums and counts over the rows); the others rewrite their planes.
#pragma once

#include "host/host_suites.h"

namespace lumora {

// Puts the working memory routines into the 15 slots.
void PutMemoRoutines(HostSuites &suites);

// Bytes each memory routine touches per row of its planes.
constexpr int kMemoColumns = 8;

}  // namespace lumora
