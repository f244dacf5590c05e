// The substitute host's selection routines: working routines for the slots
// the module wraps, written from the host's own description of them. Slot 0
// names the histogram table that slot 2 then counts into.
#pragma once

#include <cstdint>

#include "host/host_suites.h"

namespace lumora {

// Puts the working selection routines into slots 0, 2, 13 to 18, 21, 26, 27,
// 32, 35, 41, 43 and 46 to 49. The host has no histogram table until slot 0
// names one.
void PutSeleRoutines(HostSuites &suites);

// Bytes each row routine touches per row of its planes.
constexpr int kSeleColumns = 12;

// Slot 2's counting: the pixels of planes A, B, C weighted by W, where the mask
// (which may be null) is above the threshold, added into six 256-bin
// histograms at `table`.
void CountSixHistogramsInto(uint32_t *table, const void *a, const void *b, const void *c, const void *w,
                            const void *mask, int16_t rows, int16_t columns, int16_t stride,
                            int16_t mask_stride, int16_t threshold);

// The result of the host's slot-0 routine.
constexpr int32_t kSeleTableResult = 1536;

}  // namespace lumora
