// Global memory blocks: zeroed heap memory whatever the flags, the handle
// being the pointer. No lock count is kept: a block is as good as locked from
// GlobalAlloc to GlobalFree, and GlobalUnlock reports what Win32 reports when
// the last lock of a block locked once is released (FALSE, the block no longer
// locked).
#include <atomic>
#include <cstdlib>

#include "platform/posix/test_hooks.h"
#include "platform/posix/win32_subset.h"

namespace {
std::atomic<int> live_blocks{0};
}

int rowfork::test_hooks::LiveGlobalBlocks() { return live_blocks.load(std::memory_order_relaxed); }

HGLOBAL GlobalAlloc(UINT, SIZE_T bytes) {
  if (rowfork::test_hooks::CallFails(rowfork::test_hooks::Failing::kGlobalAlloc)) return nullptr;
  // A block of no bytes is still a block, distinct from failure.
  HGLOBAL memory = std::calloc(bytes != 0 ? bytes : 1, 1);
  if (memory != nullptr) live_blocks.fetch_add(1, std::memory_order_relaxed);
  return memory;
}

LPVOID GlobalLock(HGLOBAL memory) { return memory; }

HGLOBAL GlobalHandle(LPCVOID memory) { return const_cast<LPVOID>(memory); }

BOOL GlobalUnlock(HGLOBAL) { return FALSE; }

HGLOBAL GlobalFree(HGLOBAL memory) {
  if (memory != nullptr) live_blocks.fetch_sub(1, std::memory_order_relaxed);
  std::free(memory);
  return nullptr;
}
