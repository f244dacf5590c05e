// The demonstration's image operations. Each calls the host's routines
// through the host's live tables, exactly as the host would, so that the same
// call runs the host's own routine while the module is inactive and the
// module's wrapper while it is active; and each can run the same routine as
// an OpenMP loop over its rows, for comparison.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/host_suites.h"
#include "host/sim/document.h"
#include "host/sim/report.h"

namespace lumora::sim {

class Operation {
 public:
  explicit Operation(const Document &document) : document_(document) {}
  virtual ~Operation() = default;
  Operation(const Operation &) = delete;
  Operation &operator=(const Operation &) = delete;

  virtual const char *Name() const = 0;
  virtual const char *Slots() const = 0;  // the table slots it calls, e.g. "filt 0+11"
  virtual int Rows() const = 0;           // the rows argument of its calls
  virtual int64_t Bytes() const = 0;      // bytes one run reads and writes
  // How one run calls the host's routines.
  virtual CallPattern Pattern() const { return CallPattern::kOneCall; }
  // Milliseconds of its last run that it spent idle on purpose, not counted
  // in its time (a preview waits between redraws).
  virtual double IdleMs() const { return 0; }

  // Sets the output back to its starting state (not timed).
  virtual void Prepare() = 0;
  // One run through the host's live tables.
  virtual void Run(HostSuites &suites) = 0;
  // One run of the same routines as OpenMP loops over the rows.
  virtual void RunOpenMP(int threads) = 0;

  // Everything the run produced, byte for byte.
  virtual std::vector<uint8_t> Output() const = 0;
  // The output as an RGBA picture of the document's size; empty when the
  // output is not a picture.
  virtual std::vector<uint8_t> Picture() const { return {}; }

 protected:
  const Document &document_;
};

// The names of every operation, in the order they run.
std::vector<std::string> OperationNames();

// The operations with these names (all of them when `names` is empty), in
// the order they run.
std::vector<std::unique_ptr<Operation>> MakeOperations(const Document &document,
                                                       const std::vector<std::string> &names);

}  // namespace lumora::sim
