// Waits on events and threads. Wait-all waits on each object in turn: with
// manual-reset events, which stay set until reset, that ends when all are set
// unless a third thread resets one that was already passed, which the module
// never does (a thread resets only events it waits on itself).
#include "platform/posix/kernel_object.h"
#include "platform/posix/wait_any.h"

namespace {

using rowfork::posix::Deadline;
using rowfork::posix::KernelObject;
using rowfork::posix::ObjectFromHandle;

bool AllValid(DWORD count, const HANDLE *handles) {
  if (count == 0 || handles == nullptr) return false;
  for (DWORD i = 0; i < count; ++i) {
    if (ObjectFromHandle(handles[i]) == nullptr) return false;
  }
  return true;
}

DWORD WaitForAll(DWORD count, const HANDLE *handles, const Deadline &deadline) {
  for (DWORD i = 0; i < count; ++i) {
    if (!ObjectFromHandle(handles[i])->signalled.Wait(deadline)) return WAIT_TIMEOUT;
  }
  return WAIT_OBJECT_0;
}

DWORD WaitForAny(DWORD count, const HANDLE *handles, const Deadline &deadline) {
  const long fired = rowfork::posix::WaitForAnyObject(handles, count, deadline);
  if (fired == rowfork::posix::kAnyTimedOut) return WAIT_TIMEOUT;
  if (fired == rowfork::posix::kAnyNoMemory) return WAIT_FAILED;
  return WAIT_OBJECT_0 + static_cast<DWORD>(fired);
}

}  // namespace

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  KernelObject *object = ObjectFromHandle(handle);
  if (object == nullptr) return WAIT_FAILED;
  return object->signalled.Wait(Deadline(milliseconds)) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE *handles, BOOL wait_all, DWORD milliseconds) {
  if (!AllValid(count, handles)) return WAIT_FAILED;
  const Deadline deadline(milliseconds);
  return wait_all ? WaitForAll(count, handles, deadline) : WaitForAny(count, handles, deadline);
}
