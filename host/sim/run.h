// lumora-sim's three passes over the operations: the module loaded with its
// profile switch off (the host's own routines), loaded and active (its
// wrappers), and no module at all with OpenMP loops over the same routines.
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
  std::string profile_directory;  // where the module reads its profile switch
  std::string out;                // where the pictures go
};

struct RunResult {
  std::vector<Measurement> rows;
  std::vector<std::string> written;  // files written to `out`
  std::string error;                 // set when the module could not be run
  double compute_ceiling = 0;        // what the threads gained on pure arithmetic, at the end
};

RunResult RunOperations(const RunSettings &settings, const Document &document,
                        const std::vector<std::unique_ptr<Operation>> &operations);

}  // namespace lumora::sim
