// What a HANDLE of an event or a thread points to. Both kinds carry a signal
// word, so every wait treats them alike: an event's word is its state, a
// thread's is set once the thread has ended.
#pragma once

#include <cstdint>

#include "platform/posix/signal_word.h"
#include "platform/posix/win32_subset.h"

namespace rowfork::posix {

// Tags chosen to be unlikely in memory that is not one of these objects, so a
// stray pointer is refused rather than used.
enum class ObjectKind : uint32_t { kEvent = 0x52464B45u, kThread = 0x52464B54u };

// Cache-line aligned, so that setting one worker's event never disturbs the
// line of another's.
struct alignas(64) KernelObject {
  KernelObject(ObjectKind object_kind, bool initially_set) : kind(object_kind), signalled(initially_set) {}

  const ObjectKind kind;
  SignalWord signalled;
};

// The object behind `handle`, or null when the handle is null, not aligned as
// every object is, or its tag is neither kind's (an aligned handle must still
// point to readable memory).
inline KernelObject *ObjectFromHandle(HANDLE handle) {
  if (handle == nullptr || reinterpret_cast<uintptr_t>(handle) % alignof(KernelObject) != 0) return nullptr;
  auto *object = static_cast<KernelObject *>(handle);
  if (object->kind != ObjectKind::kEvent && object->kind != ObjectKind::kThread) return nullptr;
  return object;
}

// Closing, by kind (events.cpp, threads.cpp).
void CloseEvent(KernelObject *event);
void CloseThread(KernelObject *thread);

// The count of open events and threads behind test_hooks::OpenKernelObjects.
void NoteObjectOpened();
void NoteObjectClosed();

}  // namespace rowfork::posix
