// The substitute host's filter routines: working routines for every slot the
// module wraps and for the two routines its chained slots call (filt 29 and
// core 8), written from the host's own description of them.
//
// Where a routine has a width argument (the first value after the row or
// element count, unless noted) it touches that many columns of each row.
#pragma once

#include <cstdint>
#include <vector>

#include "host/host_suites.h"

namespace lumora {

// Puts the working filter routines into the filt slots the module wraps, into
// filt slot 29 and into core slot 8.
void PutFiltRoutines(HostSuites &suites);

// Calls of core slot 8 so far (the routine counts itself).
int CoreStepCalls();

// A kernel table as the host keeps it: a header, then `last` + 1 entries.
// Filt slot 0 is handed a handle to it (a pointer to the table's pointer);
// filt slot 11 sums, for each pixel, the pixels at the entries' linear
// offsets, trusting that they were computed for its stride.
struct KernelEntry {
  int16_t row;
  int16_t column;
  uint8_t spare[4];
  int32_t linear;
};
struct KernelHeader {
  int16_t last;
  uint8_t spare[6];
  int32_t stride;
};

class KernelTable {
 public:
  // Entries with these displacements; linear offsets and stride set to `junk`.
  KernelTable(const std::vector<KernelEntry> &entries, int32_t junk);
  KernelHeader &Header() { return *reinterpret_cast<KernelHeader *>(words_.data()); }
  KernelEntry &Entry(int i) { return reinterpret_cast<KernelEntry *>(words_.data() + 3)[i]; }
  int Size() const { return size_; }
  // What filt slot 0 is handed.
  void *Handle() { return &table_; }
  // Sets every linear offset for `stride`, as the host would.
  void ComputeFor(int32_t stride);

 private:
  std::vector<int32_t> words_;
  void *table_;
  int size_;
};

}  // namespace lumora
