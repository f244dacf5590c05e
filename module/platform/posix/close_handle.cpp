#include "platform/posix/kernel_object.h"

BOOL CloseHandle(HANDLE handle) {
  rowfork::posix::KernelObject *object = rowfork::posix::ObjectFromHandle(handle);
  if (object == nullptr) return FALSE;
  if (object->kind == rowfork::posix::ObjectKind::kThread) {
    rowfork::posix::CloseThread(object);
  } else {
    rowfork::posix::CloseEvent(object);
  }
  return TRUE;
}
