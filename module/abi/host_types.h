// What the host hands the module: its suite list, the suite records in it and
// the tables of routine pointers they name. Plain structs with the host's
// layout; on the 32-bit target the byte offsets are checked below.
#pragma once

#include <cstdint>

namespace rowfork {

// Any routine of a host table; cast to its real signature before a call.
using GenericRoutine = void (*)();

// A routine table: slot 0 first. The host calls through the slots at every
// use, so a pointer written here replaces the routine for later calls.
using ProcTable = GenericRoutine;

// A four-character code, first character in the most significant byte.
constexpr uint32_t FourCC(const char (&code)[5]) {
  return (uint32_t(uint8_t(code[0])) << 24) | (uint32_t(uint8_t(code[1])) << 16) |
         (uint32_t(uint8_t(code[2])) << 8) | uint32_t(uint8_t(code[3]));
}

struct SuiteRecord {
  uint32_t key;
  int16_t version;
  uint16_t count;  // only compared against minimums
  ProcTable *table;
};

struct PluginParamBlock {
  uint32_t unused;
  int32_t count;  // records that follow; zero or less means none
  SuiteRecord records[1];
};

// The about selector's record: platform data, whose first field is the host's
// main window, the parent of the about box.
struct HostPlatformData {
  void *main_window;
};
struct AboutRecord {
  HostPlatformData *platform;
};

// The host's suite-find routine, core slot 5.
using FindSuiteRoutine = uint8_t (*)(uint32_t kind, uint32_t key, SuiteRecord **record);
constexpr uint32_t kModuleKind = FourCC("LMRX");

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(SuiteRecord) == 12);
static_assert(__builtin_offsetof(SuiteRecord, version) == 4);
static_assert(__builtin_offsetof(SuiteRecord, count) == 6);
static_assert(__builtin_offsetof(SuiteRecord, table) == 8);
static_assert(__builtin_offsetof(PluginParamBlock, records) == 8);
#endif
static_assert(__builtin_offsetof(PluginParamBlock, records) == 8);

}  // namespace rowfork
