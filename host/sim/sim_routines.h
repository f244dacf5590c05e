// The demonstration host's own image routines: routines of the host's tables
// that work on whole rows of a document of any width, for the slots whose
// test-host routines touch only a few columns. The routines that already do
// whole-row work (the record blend, the six histograms) come from
// host/suites and are put into their slots alongside these.
#pragma once

#include <cstdint>

#include "host/host_suites.h"

namespace lumora::sim {

// Puts every routine the demonstration calls into the host's tables.
void PutSimRoutines(HostSuites &suites);

// blnd slot 13: three source planes mixed into three destination planes
// through a mask (alpha, 0 to 255), `width` bytes of each row.
int32_t AlphaBlendThree(void *s0, void *s1, void *s2, void *d0, void *d1, void *d2, void *mask, int16_t rows,
                        int16_t width, int16_t source_stride, int16_t destination_stride,
                        int16_t mask_stride);

// filt slot 0 names the kernel table (a handle: a pointer to the table's
// pointer) that filt slot 11 then averages over: B = the rounded mean of A at
// every kernel offset from each pixel. The offsets must have been computed for
// A's stride.
int32_t NameKernel(uint8_t mode, void *handle, int32_t, int32_t);
int32_t KernelMean(void *a, void *b, int16_t rows, int16_t width, int16_t stride_a, int16_t stride_b);

// pntg slot 12: a soft round dab of `value` centred at image column
// `centre_x` and image row `centre_y`, radius `radius`; row r of the plane is
// image row origin + r.
int32_t PaintDab(int16_t width, int16_t origin, int16_t centre_x, int16_t rows, int16_t centre_y, void *plane,
                 int16_t stride, int16_t radius, int16_t value);

// memo slot 32: the sum of `width` bytes of every row, wrapping at 32 bits.
int32_t SumBytes(void *plane, int16_t rows, int16_t width, int16_t stride);

// rast slot 2: the first plane takes `width` bytes of each row of the second
// where the mask (which may be null) is above the threshold. Row r of the
// first plane lies r * stride1 * factor bytes on.
int32_t CopyRaster(void *p1, void *p2, void *mask, int16_t rows, int16_t width, int32_t stride1,
                   int32_t stride2, int32_t mask_stride, int16_t threshold, int16_t factor);

// The colour tables rsmp slot 10 applies: what rsmp slot 4 filled for a
// matrix of three columns (one per output channel), 32 tables of 256 entries
// each, the first three of a column for red, green and blue in.
void UseColourTables(const uint32_t *tables);

// rsmp slot 10: p1 (RGBA, `width` pixels a row) takes p2's colours (RGBA) put
// through the colour tables, mixed by the mask p3 times `strength` / 255;
// alpha is copied.
int32_t ApplyColourMatrix(void *p1, void *p2, void *mask, int16_t rows, int16_t width, int32_t stride2,
                          int32_t, int32_t mask_stride, int32_t, int16_t strength, int16_t, int16_t);

// rsmp slot 2: each RGBA row of p2 is p1's row magnified by `zoom` / 65536
// about the row's centre, with linear interpolation between pixels.
int32_t ZoomRows(void *p1, void *p2, int16_t rows, int16_t width, int32_t zoom, int16_t stride1,
                 int16_t stride2, int32_t);

// disp 24: RGBA rows as the screen shows them, in place: composited over a
// checkerboard of `light` and `dark` (0xRRGGBB) squares of `square` pixels,
// then cut to 32 levels a channel with an ordered dither. Row r is image row
// origin + r, which places the squares and the dither.
int32_t ToDisplay(void *raster, int16_t rows, int16_t width, int16_t origin, int16_t square, int16_t,
                  int32_t light, int32_t dark);

}  // namespace lumora::sim
