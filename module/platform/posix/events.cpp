// Manual-reset events: the only kind the module creates.
#include <new>

#include "platform/posix/kernel_object.h"
#include "platform/posix/test_hooks.h"

namespace rowfork::posix {

void CloseEvent(KernelObject *event) {
  NoteObjectClosed();
  delete event;
}

}  // namespace rowfork::posix

namespace {

using rowfork::posix::KernelObject;
using rowfork::posix::ObjectKind;

KernelObject *EventFromHandle(HANDLE handle) {
  KernelObject *object = rowfork::posix::ObjectFromHandle(handle);
  return object != nullptr && object->kind == ObjectKind::kEvent ? object : nullptr;
}

}  // namespace

// Security attributes and names have no meaning here. Auto-reset events are
// not provided: asking for one is refused rather than given other semantics.
HANDLE CreateEventA(LPVOID, BOOL manual_reset, BOOL initial_state, LPCSTR) {
  if (rowfork::test_hooks::CallFails(rowfork::test_hooks::Failing::kCreateEvent)) return nullptr;
  if (!manual_reset) return nullptr;
  auto *event = new (std::nothrow) KernelObject(ObjectKind::kEvent, initial_state != FALSE);
  if (event != nullptr) rowfork::posix::NoteObjectOpened();
  return event;
}

BOOL SetEvent(HANDLE handle) {
  KernelObject *event = EventFromHandle(handle);
  if (event == nullptr) return FALSE;
  event->signalled.Set();
  return TRUE;
}

BOOL ResetEvent(HANDLE handle) {
  KernelObject *event = EventFromHandle(handle);
  if (event == nullptr) return FALSE;
  event->signalled.Reset();
  return TRUE;
}
