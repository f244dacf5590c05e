// What lumora-sim measured, as a table for a person, as CSV, and as a chart.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumora::sim {

struct Measurement {
  std::string name;
  std::string slots;
  int rows = 0;
  int64_t bytes = 0;
  double inactive_ms = 0;  // the host's own routines, one thread
  double active_ms = 0;    // through the module's wrappers
  double openmp_ms = 0;    // the same routines as an OpenMP loop over the rows
  double copy_one_ms = 0;  // memcpy of the same bytes on one thread
  double copy_all_ms = 0;  // ... and on every thread
  bool identical = false;  // active output equal to the inactive one

  double Speedup() const { return inactive_ms / active_ms; }
  double OpenMPSpeedup() const { return inactive_ms / openmp_ms; }
  double CopySpeedup() const { return copy_one_ms / copy_all_ms; }
  // Active time over OpenMP time: at most 1 when the module is as fast.
  double RatioToOpenMP() const { return active_ms / openmp_ms; }
  // Memory-bound: one thread moves the operation's bytes at least half as
  // fast as one thread copies them; more threads then gain what the memory
  // gains, not what the processors do.
  bool MemoryBound() const { return inactive_ms <= 2 * copy_one_ms; }
  // The speed asked of it: compute-bound work at least 0.925 times the
  // threads (1.85 on two), memory-bound work at least 0.95 times what copying
  // the same bytes gains; either at least as fast as OpenMP.
  bool MeetsGoal(int threads) const;
};

struct RunSummary {
  int width = 0;
  int height = 0;
  int threads = 0;
  int repeat = 0;
  std::string source;  // "generated" or the image's path
  // What the threads gained on pure arithmetic during the run: on a machine
  // busy with other work, less than the thread count.
  double compute_ceiling = 0;
  double load = 0;  // the system's load average over the last minute
};

std::string Table(const RunSummary &run, const std::vector<Measurement> &rows);
std::string Csv(const std::vector<Measurement> &rows, int threads);
// A bar chart (SVG) of each operation's speedup, the module's and OpenMP's.
std::string Chart(const RunSummary &run, const std::vector<Measurement> &rows);

}  // namespace lumora::sim
