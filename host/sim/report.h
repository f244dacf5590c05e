// What lumora-sim measured, as a table for a person, as CSV, and as a chart.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumora::sim {

// The middle value (the mean of the middle two); 0 for none.
double Median(std::vector<double> values);

// How an operation calls the host's routines: one call over the whole image;
// many small calls back to back, as a brush stroke or a tiled filter calls;
// or a small image redrawn after the editor was idle, as a preview is.
enum class CallPattern { kOneCall, kBackToBack, kAfterIdle };

// One round of an operation's timings, taken back to back, so that all five
// see the machine in the same state.
struct Round {
  double inactive_ms = 0;  // the host's own routines, one thread
  double active_ms = 0;    // through the module's wrappers
  double openmp_ms = 0;    // the same routines as an OpenMP loop over the rows
  double copy_one_ms = 0;  // memcpy of the same bytes on one thread
  double copy_all_ms = 0;  // ... and on every thread
  // What every thread gained over one on a loop of pure arithmetic: what the
  // machine gave compute-bound work during the round.
  double arithmetic_gain = 0;
};

// An operation's rounds. Times are medians over the rounds; gains and ratios
// are medians of each round's own, so that a stretch of time in which the
// machine gave less to every contender cannot favour one of them.
struct Measurement {
  std::string name;
  std::string slots;
  int rows = 0;
  int64_t bytes = 0;
  std::vector<Round> rounds;
  bool identical = false;  // active output equal to the inactive one
  CallPattern pattern = CallPattern::kOneCall;

  double InactiveMs() const;
  double ActiveMs() const;
  double OpenMPMs() const;
  double Speedup() const;
  double OpenMPSpeedup() const;
  double CopySpeedup() const;
  double ArithmeticGain() const;
  // The speedup over what pure arithmetic gained, round by round: 1 when
  // the module gained what the machine gave compute-bound work.
  double SpeedupOverArithmetic() const;
  // Active time over OpenMP time: at most 1 when the module is as fast.
  double RatioToOpenMP() const;
  // Memory-bound: one thread moves the operation's bytes at least half as
  // fast as one thread copies them; more threads then gain what the memory
  // gains, not what the processors do.
  bool MemoryBound() const;
  // The speed asked of it, against what the machine gave in the same rounds:
  // compute-bound work at least 0.97 times what pure arithmetic gained,
  // memory-bound work at least 0.95 times what copying the same bytes gains;
  // either at parity with OpenMP (at most 1.02 of its time). Calls back to
  // back: at least 0.9 times the threads (1.8 on two), and at parity with
  // OpenMP (at most 1.02 of its time). After idle: at least 0.8 times the
  // threads (1.6 on two), and at least twice as fast as OpenMP.
  bool MeetsGoal(int threads) const;
};

struct RunSummary {
  int width = 0;
  int height = 0;
  int threads = 0;
  int repeat = 0;
  std::string source;         // "generated" or the image's path
  std::string module_file{};  // the module file that ran
  std::string target{};       // the build it is, and what ran it
  std::string emulator{};     // the emulated processor that ran it; empty: a real one
  int processors = 0;         // the machine's, as the module counts them
  // What the threads gained on pure arithmetic over every round of every
  // operation: the median and the least. On a machine busy with other work,
  // less than the thread count.
  double compute_ceiling = 0;
  double least_compute_ceiling = 0;
  double load = -1;  // the system's load average over the last minute; negative: unknown
};

std::string Table(const RunSummary &run, const std::vector<Measurement> &rows);
// Under an emulator no goal is judged: its times are its own, not the module's.
std::string Csv(const RunSummary &run, const std::vector<Measurement> &rows);
// A bar chart (SVG) of each operation's speedup, the module's and OpenMP's.
std::string Chart(const RunSummary &run, const std::vector<Measurement> &rows);

}  // namespace lumora::sim
