// How the selection suite's slot 2 counts when it splits. The host hands
// slot 0 a table of six 256-bin histograms and then counts pixels into it
// through slot 2. Slot 0's wrapper records that table; slot 2's wrapper, when
// it splits, counts each band itself (kernels/histograms.h): the workers into
// private tables taken for the one call, the calling thread straight into the
// recorded table, and the private tables are added into the recorded table
// once every slice is done.
#pragma once

#include <atomic>
#include <cstdint>
#include <tuple>

#include "kernels/histograms.h"
#include "pool/own_slices.h"

namespace rowfork {

// The table recorded by the last slot-0 call; null until the first. Written
// by slot 0's wrapper, on any thread; read by slot 2's wrapper as it splits.
extern std::atomic<uint32_t *> HistogramTable;

// Slot 0: records the table, then hands the call to the host's routine and
// returns its result, whether or not a split is in progress.
int32_t RecordHistogramTable(Ptr table);

// Slot 2's kernel (pool/own_slices.h). The call splits only with a table
// recorded (else the split would have nowhere to count) and its private
// tables had; otherwise the host's routine counts. The wrapper returns 0
// either way.
struct HistogramCounting : OwnKernel {
  using Routine = int32_t (*)(Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16);
  using Args = std::tuple<Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16>;
  using Band = HistogramBand;
  struct Call {
    uint32_t *table;
    uint32_t *private_tables;  // one per worker, one after another
  };

  static bool Take(Call &call, int threads, const Args &in);
  static Band BandOf(const Call &call, const Args &in, const Args &slice, const SliceContext &context);
  static void Slice(const Band &band) { CountHistograms(band); }
  static void Merge(const Call &call, int threads);
  static void Give(Call &call);
  static int32_t Unsplit(Routine routine, Ptr a, Ptr b, Ptr c, Ptr w, Ptr mask, I16 rows, I16 columns,
                         I16 plane_stride, I16 mask_stride, I16 threshold);
};

}  // namespace rowfork
