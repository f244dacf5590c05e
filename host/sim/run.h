// lumora-sim's rounds over the operations. Each round runs an operation with
// the module loaded and its profile switch off (the host's own routines),
// through the active module's wrappers, as OpenMP loops over the same
// routines, and times a memcpy of the same bytes, all back to back.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/sim/document.h"
#include "host/sim/operations.h"
#include "host/sim/report.h"

namespace lumora::sim {

struct RunSettings {
  int threads = 2;
  int repeat = 5;
  std::string module_path;
  std::string out;  // where the pictures go
};

struct RunResult {
  std::vector<Measurement> rows;
  std::string module_file;           // the file loaded for `module_path`
  std::vector<std::string> written;  // files written to `out`
  std::string error;                 // set when the module could not be run
  // What the threads gained on pure arithmetic, timed once beside every
  // round: the median and the least.
  double compute_ceiling = 0;
  double least_compute_ceiling = 0;
};

RunResult RunOperations(const RunSettings &settings, const Document &document,
                        const std::vector<std::unique_ptr<Operation>> &operations);

}  // namespace lumora::sim
