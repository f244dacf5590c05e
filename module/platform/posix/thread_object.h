// A thread behind a HANDLE, shared by the thread calls and the placement of
// the pool's workers, which binds the OS thread.
#pragma once

#include <pthread.h>
#include <sys/types.h>

#include <atomic>
#include <cstdint>

#include "platform/posix/kernel_object.h"

namespace rowfork::posix {

enum class Launch : uint32_t {
  kSuspended,  // created suspended, not yet resumed
  kRunning,    // the procedure runs or has run
  kCancelled,  // ended by TerminateThread (or the close of its last handle) before it ever ran
};

struct ThreadObject : KernelObject {
  ThreadObject(LPTHREAD_START_ROUTINE start_routine, LPVOID start_parameter, bool suspended)
      : KernelObject(ObjectKind::kThread, false),
        start(start_routine),
        parameter(start_parameter),
        launch(static_cast<uint32_t>(suspended ? Launch::kSuspended : Launch::kRunning)) {}

  // Written before the OS thread starts; read by it.
  const LPTHREAD_START_ROUTINE start;
  const LPVOID parameter;
  // Written by CreateThread before the handle is returned; used by the
  // handle's owner only (join, detach, affinity).
  pthread_t native{};
  // A Launch value, and the futex word a suspended thread sleeps on. Moves
  // once, out of kSuspended, by the handle's owner.
  std::atomic<uint32_t> launch;
  // The exit code a cancelled thread reports; written by the owner before it
  // moves `launch` to kCancelled.
  DWORD cancel_code = 0;
  // STILL_ACTIVE until the thread stores its exit code, just before it sets
  // `signalled`.
  std::atomic<DWORD> exit_code{kStillActive};
  // One for the handle, one for the running thread; whoever drops the last
  // frees the object.
  std::atomic<int> references{2};
  // The kernel's id of the thread; written by the thread as it starts, read
  // after it has been joined.
  pid_t tid = 0;
  // Owner only: the OS thread has been joined.
  bool joined = false;

  static constexpr DWORD kStillActive = 259;
};

// The thread behind `handle`, or null when it is not an open thread.
inline ThreadObject *ThreadFromHandle(HANDLE handle) {
  KernelObject *object = ObjectFromHandle(handle);
  return object != nullptr && object->kind == ObjectKind::kThread ? static_cast<ThreadObject *>(object)
                                                                  : nullptr;
}

}  // namespace rowfork::posix
