// The ten host suites the module wraps: found in the host's suite list at
// start-up, checked, and their routine pointers copied before any installer
// writes into a host table. Wrappers call these copies (the saved routines),
// never the live slot they replaced.
#pragma once

#include <cstdint>

#include "abi/host_types.h"

namespace rowfork {

enum class Suite : uint8_t { core, filt, memo, pntg, sele, blnd, rsmp, disp, conv, rast };
constexpr int kSuiteCount = 10;

struct SuiteTerms {
  uint32_t key;
  int16_t version;
  uint16_t minimum_count;
  uint16_t entries_copied;
};

// In capture order.
inline constexpr SuiteTerms kSuiteTerms[kSuiteCount] = {
    {FourCC("core"), 2, 11, 13}, {FourCC("filt"), 2, 54, 73}, {FourCC("memo"), 2, 34, 75},
    {FourCC("pntg"), 1, 48, 49}, {FourCC("sele"), 1, 49, 54}, {FourCC("blnd"), 1, 43, 124},
    {FourCC("rsmp"), 1, 11, 20}, {FourCC("disp"), 2, 22, 51}, {FourCC("conv"), -508, 17, 67},
    {FourCC("rast"), 2, 3, 4},
};

constexpr const SuiteTerms &TermsOf(Suite suite) { return kSuiteTerms[static_cast<int>(suite)]; }

// The record of `key` at `version`: first in the block, else through the
// host's suite-find routine of a core record of version 2, which must answer
// with a record of that key and version. Null when absent.
SuiteRecord *FindSuite(const PluginParamBlock *block, uint32_t key, int32_t version);

// Captures all ten suites: 0, or -30900 at the first one missing, of another
// version, below its minimum count or without a table.
int16_t CaptureSuites(const PluginParamBlock *block);

// Where each suite's saved routines start in SavedProcs.
constexpr int SavedOffset(Suite suite) {
  int offset = 0;
  for (int i = 0; i < static_cast<int>(suite); ++i) offset += kSuiteTerms[i].entries_copied;
  return offset;
}
constexpr int kSavedProcCount = SavedOffset(Suite::rast) + TermsOf(Suite::rast).entries_copied;

// Every suite's saved routines, one run after another. Written once by the
// capture, on the host's thread before any worker exists; only read after.
extern GenericRoutine SavedProcs[kSavedProcCount];

// The host's live tables, by suite. Written with SavedProcs.
extern ProcTable *LiveTables[kSuiteCount];

// The saved routine of a slot, as captured (the host's own routine).
inline GenericRoutine SavedRoutine(Suite suite, int slot) { return SavedProcs[SavedOffset(suite) + slot]; }

inline ProcTable *LiveTable(Suite suite) { return LiveTables[static_cast<int>(suite)]; }

}  // namespace rowfork
