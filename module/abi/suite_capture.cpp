#include "abi/suite_capture.h"

#include "abi/result_codes.h"

namespace rowfork {

GenericRoutine SavedProcs[kSavedProcCount];
ProcTable *LiveTables[kSuiteCount];

namespace {

constexpr uint32_t kCoreKey = FourCC("core");
constexpr int kFindSuiteSlot = 5;

// Asks the host's suite-find routine of a core record for `key`.
SuiteRecord *FindThroughHost(const SuiteRecord &core, uint32_t key, int32_t version) {
  if (core.count < kFindSuiteSlot || core.table == nullptr) return nullptr;
  const auto find = reinterpret_cast<FindSuiteRoutine>(core.table[kFindSuiteSlot]);
  if (find == nullptr) return nullptr;
  SuiteRecord *found = nullptr;
  if (find(kModuleKind, key, &found) == 0 || found == nullptr) return nullptr;
  // A record of another suite would have its table read as this one's, past
  // its end when that suite's table is the shorter.
  return found->key == key && found->version == version ? found : nullptr;
}

}  // namespace

SuiteRecord *FindSuite(const PluginParamBlock *block, uint32_t key, int32_t version) {
  const SuiteRecord *core = nullptr;
  for (int32_t i = 0; i < block->count; ++i) {
    const SuiteRecord &record = block->records[i];
    if (record.key == key && record.version == version) return const_cast<SuiteRecord *>(&record);
    if (record.key == kCoreKey && record.version == 2) core = &record;
  }
  return core != nullptr ? FindThroughHost(*core, key, version) : nullptr;
}

int16_t CaptureSuites(const PluginParamBlock *block) {
  if (block == nullptr) return kSuiteMissing;
  for (int s = 0; s < kSuiteCount; ++s) {
    const SuiteTerms &terms = kSuiteTerms[s];
    const SuiteRecord *record = FindSuite(block, terms.key, terms.version);
    if (record == nullptr || record->count < terms.minimum_count || record->table == nullptr) {
      return kSuiteMissing;
    }
    GenericRoutine *saved = SavedProcs + SavedOffset(static_cast<Suite>(s));
    for (int slot = 0; slot < terms.entries_copied; ++slot) saved[slot] = record->table[slot];
    LiveTables[s] = record->table;
  }
  return kSuccess;
}

}  // namespace rowfork
