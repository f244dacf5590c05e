// The substitute host's ten suites and the suite list it hands the module at
// start-up. Every slot starts out as a routine that only records that it was
// called (no arguments) and returns kUntouchedResult; tests put working or
// recording routines into the slots they exercise. Variants of the list
// (suites missing, of other versions, too small, without a table, offered only
// through core slot 5) serve the start-up failure cases.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "host/host_abi.h"

namespace lumora {

constexpr int32_t kUntouchedResult = 0x5EED;

struct SuiteDefinition {
  uint32_t key;
  int16_t version;
  uint16_t count;
  int entries;  // slots in the table
};

// The ten suites as the host provides them: the versions the module asks for,
// counts at the minimum it accepts, tables as long as the module copies.
inline constexpr SuiteDefinition kHostSuites[10] = {
    {Code("core"), 2, 11, 13}, {Code("filt"), 2, 54, 73}, {Code("memo"), 2, 34, 75},
    {Code("pntg"), 1, 48, 49}, {Code("sele"), 1, 49, 54}, {Code("blnd"), 1, 43, 124},
    {Code("rsmp"), 1, 11, 20}, {Code("disp"), 2, 22, 51}, {Code("conv"), -508, 17, 67},
    {Code("rast"), 2, 3, 4},
};

class HostSuites {
 public:
  HostSuites();
  HostSuites(const HostSuites &) = delete;
  HostSuites &operator=(const HostSuites &) = delete;
  ~HostSuites();

  // The suite list as it stands now; valid until the next change or call.
  void *Block();

  // The first record with this key, and its table (the live table).
  SuiteRecord *Record(uint32_t key);
  Routine *Table(uint32_t key);
  template <typename F>
  void SetSlot(uint32_t key, int slot, F routine) {
    Table(key)[slot] = reinterpret_cast<Routine>(routine);
  }

  void Remove(uint32_t key);
  void Append(const SuiteRecord &record);
  // Takes the suite out of the list; core slot 5 finds it instead.
  void OfferThroughFind(uint32_t key);
  // A suite list whose record count is this (records beyond it stay unread).
  void SetRecordCount(int32_t count);

 private:
  std::vector<std::unique_ptr<Routine[]>> tables_;
  std::vector<SuiteRecord> records_;
  std::vector<SuiteRecord> offered_;
  std::vector<unsigned char> block_;
  bool count_set_ = false;
  int32_t record_count_ = 0;

  friend uint8_t FindSuiteInHost(uint32_t kind, uint32_t key, SuiteRecord **record);
};

// Core slot 5, the host's suite-find routine.
uint8_t FindSuiteInHost(uint32_t kind, uint32_t key, SuiteRecord **record);

}  // namespace lumora
