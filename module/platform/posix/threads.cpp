// Threads. A suspended thread is a started OS thread that sleeps on its
// launch word before its procedure; cancelling one wakes it to end at once.
#include <limits.h>
#include <pthread.h>
#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "platform/posix/futex.h"
#include "platform/posix/test_hooks.h"
#include "platform/posix/thread_object.h"

namespace rowfork::posix {

namespace {

std::atomic<DWORD> next_thread_id{1};

DWORD NewThreadId() {
  DWORD id;
  do {
    id = next_thread_id.fetch_add(1, std::memory_order_relaxed);
  } while (id == 0);
  return id;
}

Launch LaunchOf(const ThreadObject &thread) {
  return static_cast<Launch>(thread.launch.load(std::memory_order_acquire));
}

void DropReference(ThreadObject *thread) {
  if (thread->references.fetch_sub(1, std::memory_order_acq_rel) == 1) delete thread;
}

void *ThreadMain(void *argument) {
  auto *thread = static_cast<ThreadObject *>(argument);
  thread->tid = gettid();
  Launch launch;
  while ((launch = LaunchOf(*thread)) == Launch::kSuspended) {
    FutexWait(thread->launch, static_cast<uint32_t>(Launch::kSuspended), -1);
  }
  const DWORD code = launch == Launch::kRunning ? thread->start(thread->parameter) : thread->cancel_code;
  thread->exit_code.store(code, std::memory_order_release);
  thread->signalled.Set();
  DropReference(thread);
  return nullptr;
}

// Moves `thread` out of suspension to `to`; false when it was not suspended.
bool LeaveSuspension(ThreadObject &thread, Launch to) {
  auto from = static_cast<uint32_t>(Launch::kSuspended);
  if (!thread.launch.compare_exchange_strong(from, static_cast<uint32_t>(to), std::memory_order_acq_rel)) {
    return false;
  }
  FutexWakeAll(&thread.launch);
  return true;
}

// pthread_join returns once the thread has left user space, a moment before
// the kernel lets go of the task; waiting for that too means that no trace of
// the thread is left when a close or a terminate returns. The task id cannot
// be reused before it is let go of.
void Join(ThreadObject &thread) {
  pthread_join(thread.native, nullptr);
  const pid_t process = getpid();
  while (syscall(SYS_tgkill, process, thread.tid, 0) == 0) sched_yield();
  thread.joined = true;
}

// Ends a thread that never ran, without running its procedure, and joins it.
void Cancel(ThreadObject &thread, DWORD exit_code) {
  thread.cancel_code = exit_code;
  if (LeaveSuspension(thread, Launch::kCancelled)) Join(thread);
}

[[noreturn]] void MisusedTerminate() {
  std::fputs(
      "rowfork: TerminateThread on a thread that was resumed; only a thread that never ran can end so\n",
      stderr);
  std::abort();
}

size_t StackSize(SIZE_T requested) {
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  const auto least = static_cast<size_t>(PTHREAD_STACK_MIN);
  const size_t rounded = (requested + page - 1) / page * page;
  return rounded < least ? least : rounded;
}

}  // namespace

// Joins a thread that has ended, so that no OS thread outlives its last
// handle; detaches one still running, which then frees what it shares with
// the handle when it ends. Nobody can resume a suspended thread whose handle
// is closed, so that one is ended first, as TerminateThread would.
void CloseThread(KernelObject *object) {
  auto *thread = static_cast<ThreadObject *>(object);
  if (LaunchOf(*thread) == Launch::kSuspended) Cancel(*thread, 0);
  if (!thread->joined) {
    if (thread->signalled.IsSet()) {
      Join(*thread);
    } else {
      pthread_detach(thread->native);
    }
  }
  NoteObjectClosed();
  DropReference(thread);
}

}  // namespace rowfork::posix

namespace {

using rowfork::posix::Launch;
using rowfork::posix::ThreadFromHandle;
using rowfork::posix::ThreadObject;

constexpr DWORD kResumeFailed = 0xFFFFFFFFu;

}  // namespace

HANDLE CreateThread(LPVOID, SIZE_T stack_size, LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD flags,
                    DWORD *thread_id) {
  if (rowfork::test_hooks::CallFails(rowfork::test_hooks::Failing::kCreateThread)) return nullptr;
  if (start == nullptr) return nullptr;
  auto *thread = new (std::nothrow) ThreadObject(start, parameter, (flags & CREATE_SUSPENDED) != 0);
  if (thread == nullptr) return nullptr;

  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  if (stack_size != 0) pthread_attr_setstacksize(&attributes, rowfork::posix::StackSize(stack_size));
  const int failed = pthread_create(&thread->native, &attributes, rowfork::posix::ThreadMain, thread);
  pthread_attr_destroy(&attributes);
  if (failed != 0) {
    delete thread;
    return nullptr;
  }
  rowfork::posix::NoteObjectOpened();
  if (thread_id != nullptr) *thread_id = rowfork::posix::NewThreadId();
  return thread;
}

// Returns the suspend count before the call: 1 for a suspended thread, which
// now runs, 0 for any other.
DWORD ResumeThread(HANDLE handle) {
  ThreadObject *thread = ThreadFromHandle(handle);
  if (thread == nullptr) return kResumeFailed;
  return rowfork::posix::LeaveSuspension(*thread, Launch::kRunning) ? 1 : 0;
}

// Defined only for a thread that never ran: its procedure never starts and
// the OS thread is gone on return. A thread that was resumed cannot be ended
// safely from outside, and pretending would leave it running: that misuse
// aborts.
BOOL TerminateThread(HANDLE handle, DWORD exit_code) {
  ThreadObject *thread = ThreadFromHandle(handle);
  if (thread == nullptr) return FALSE;
  switch (rowfork::posix::LaunchOf(*thread)) {
    case Launch::kSuspended:
      rowfork::posix::Cancel(*thread, exit_code);
      if (!thread->joined) rowfork::posix::MisusedTerminate();  // resumed meanwhile by another thread
      return TRUE;
    case Launch::kCancelled:
      return TRUE;
    case Launch::kRunning:
      break;
  }
  rowfork::posix::MisusedTerminate();
}

// TRUE when another thread was given the processor; Linux does not say, and
// the callers only want the processor given away if anyone wants it.
BOOL SwitchToThread() {
  sched_yield();
  return TRUE;
}

BOOL GetExitCodeThread(HANDLE handle, DWORD *exit_code) {
  ThreadObject *thread = ThreadFromHandle(handle);
  if (thread == nullptr || exit_code == nullptr) return FALSE;
  *exit_code = thread->exit_code.load(std::memory_order_acquire);
  return TRUE;
}
