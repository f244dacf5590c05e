// Waits on events and threads. Waiting on several objects waits for all of
// them (the only kind of multiple wait the module makes), on each in turn:
// with manual-reset events, which stay set until reset, that ends when all
// are set unless a third thread resets one that was already passed, which the
// module never does (a thread resets only events it waits on itself).
#include "platform/posix/kernel_object.h"

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

}  // namespace

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  KernelObject *object = ObjectFromHandle(handle);
  if (object == nullptr) return WAIT_FAILED;
  return object->signalled.Wait(Deadline(milliseconds)) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

// A wait for any one of several objects is not provided: it is refused.
DWORD WaitForMultipleObjects(DWORD count, const HANDLE *handles, BOOL wait_all, DWORD milliseconds) {
  if (!wait_all || !AllValid(count, handles)) return WAIT_FAILED;
  const Deadline deadline(milliseconds);
  for (DWORD i = 0; i < count; ++i) {
    if (!ObjectFromHandle(handles[i])->signalled.Wait(deadline)) return WAIT_TIMEOUT;
  }
  return WAIT_OBJECT_0;
}
