#include "kernels/histogram_split.h"

#include "platform/win32.h"

namespace rowfork {

std::atomic<uint32_t *> HistogramTable;

namespace {

using HostRecordTable = int32_t (*)(Ptr);

uint32_t *PrivateTable(uint32_t *tables, int k) {
  return tables + static_cast<size_t>(k) * kHistogramCounters;
}

}  // namespace

int32_t RecordHistogramTable(Ptr table) {
  HistogramTable.store(static_cast<uint32_t *>(table), std::memory_order_relaxed);
  return reinterpret_cast<HostRecordTable>(SavedRoutine(Suite::sele, 0))(table);
}

// The private tables: one zero-initialised global block, locked for the call.
bool HistogramCounting::Take(Call &call, int threads, const Args &) {
  call.table = HistogramTable.load(std::memory_order_relaxed);
  if (call.table == nullptr) return false;
  HGLOBAL block =
      GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(threads - 1) * kHistogramTableBytes);
  if (block == nullptr) return false;
  call.private_tables = static_cast<uint32_t *>(GlobalLock(block));
  if (call.private_tables == nullptr) GlobalFree(block);
  return call.private_tables != nullptr;
}

HistogramBand HistogramCounting::BandOf(const Call &call, const Args &in, const Args &slice,
                                        const SliceContext &context) {
  const auto bytes = [](Ptr plane) { return static_cast<const uint8_t *>(plane); };
  return HistogramBand{
      bytes(std::get<0>(slice)),
      bytes(std::get<1>(slice)),
      bytes(std::get<2>(slice)),
      bytes(std::get<3>(slice)),
      bytes(std::get<4>(slice)),
      std::get<5>(slice),
      std::get<6>(in),
      std::get<7>(in),
      std::get<8>(in),
      std::get<9>(in),
      context.k == context.threads - 1 ? call.table : PrivateTable(call.private_tables, context.k)};
}

// Every worker is done: its private table is the calling thread's to read.
void HistogramCounting::Merge(const Call &call, int threads) {
  for (int k = 0; k < threads - 1; ++k) {
    const uint32_t *counts = PrivateTable(call.private_tables, k);
    for (int i = 0; i < kHistogramCounters; ++i) call.table[i] += counts[i];
  }
}

void HistogramCounting::Give(Call &call) {
  if (call.private_tables == nullptr) return;
  HGLOBAL block = GlobalHandle(call.private_tables);
  GlobalUnlock(block);
  GlobalFree(block);
  call.private_tables = nullptr;
}

int32_t HistogramCounting::Unsplit(Routine routine, Ptr a, Ptr b, Ptr c, Ptr w, Ptr mask, I16 rows,
                                   I16 columns, I16 plane_stride, I16 mask_stride, I16 threshold) {
  routine(a, b, c, w, mask, rows, columns, plane_stride, mask_stride, threshold);
  return 0;
}

}  // namespace rowfork
