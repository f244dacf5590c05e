// Waiting on a word's value, as Windows 8 and later offer it, and the lookup
// by name the module finds it with. ROWFORK_NO_WAIT_ON_ADDRESS makes the
// lookup find nothing, as on an older Windows.
#include <strings.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "platform/posix/futex.h"
#include "platform/posix/win32_subset.h"

namespace {

// The one library the lookup knows; its address is its handle.
char system_library;

bool WaitsHidden() {
  const char *hidden = std::getenv("ROWFORK_NO_WAIT_ON_ADDRESS");
  return hidden != nullptr && *hidden != '\0';
}

std::atomic<uint32_t> *Word(volatile void *address) {
  return static_cast<std::atomic<uint32_t> *>(const_cast<void *>(address));
}

}  // namespace

HMODULE GetModuleHandleA(LPCSTR name) {
  return name != nullptr && strcasecmp(name, "kernelbase.dll") == 0 ? &system_library : nullptr;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  if (module != &system_library || name == nullptr || WaitsHidden()) return nullptr;
  // Through the one function type that stands for any, as on Windows.
  using AnyFunction = void (*)();
  if (std::strcmp(name, "WaitOnAddress") == 0) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<AnyFunction>(&WaitOnAddress));
  }
  if (std::strcmp(name, "WakeByAddressSingle") == 0) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<AnyFunction>(&WakeByAddressSingle));
  }
  return nullptr;
}

// Returns at once when the word differs from the compared value, else after a
// wake, or spuriously; the caller looks at the word again either way.
BOOL WaitOnAddress(volatile void *address, PVOID compare, SIZE_T size, DWORD milliseconds) {
  if (address == nullptr || compare == nullptr || size != sizeof(uint32_t) || milliseconds != INFINITE) return FALSE;
  uint32_t expected = 0;
  std::memcpy(&expected, compare, sizeof expected);
  rowfork::posix::FutexWait(*Word(address), expected, -1);
  return TRUE;
}

void WakeByAddressSingle(PVOID address) {
  if (address != nullptr) rowfork::posix::FutexWakeOne(Word(address));
}
