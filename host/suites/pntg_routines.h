// The substitute host's painting routines: working row routines for the 33
// slots the module wraps, written from the host's own description of them.
// A routine paints a band of image rows: row r of its planes is image row
// origin + r (16-bit). Its last plane is painted, the planes before it are
// read; a routine without planes paints the host's canvas instead.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/host_suites.h"

namespace lumora {

// Puts the working painting routines into the 33 slots.
void PutPntgRoutines(HostSuites &suites);

// Bytes each painting routine touches per row of its planes.
constexpr int kPntgColumns = 8;

// The canvas the plane-less routines paint: 256 rows of kPntgColumns bytes;
// image row y paints canvas row y mod 256.
constexpr size_t kPntgCanvasBytes = size_t{256} * kPntgColumns;
uint8_t *PntgCanvas();

}  // namespace lumora
