// The host's side of the binary interface: its suite list as it lays it out
// for an extension module, written independently of the module's own view.
#pragma once

#include <cstdint>

namespace lumora {

using Routine = void (*)();

constexpr uint32_t Code(const char (&text)[5]) {
  return (uint32_t(uint8_t(text[0])) << 24) | (uint32_t(uint8_t(text[1])) << 16) |
         (uint32_t(uint8_t(text[2])) << 8) | uint32_t(uint8_t(text[3]));
}

struct SuiteRecord {
  uint32_t key;
  int16_t version;
  uint16_t count;
  Routine *table;
};

// The suite list header; `count` records follow it at offset 8.
struct ParamBlockHeader {
  uint32_t unused;
  int32_t count;
};

struct PlatformData {
  void *main_window;
};
struct AboutRecord {
  PlatformData *platform;
};

// Selectors and result codes of the module's entry point.
enum : int16_t { kSelectAbout = 0, kSelectStartUp = 1, kSelectShutDown = 2 };
enum : int16_t {
  kResultSuccess = 0,
  kResultInactive = 42,
  kResultSuiteMissing = -30900,
  kResultPoolLacking = -108,
  kResultBadSelector = -30300,
};

using EntryPoint = void (*)(int16_t selector, void *block, int32_t *data, int16_t *result);

}  // namespace lumora
