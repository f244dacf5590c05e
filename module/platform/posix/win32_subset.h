// The module's own substitute for the Win32 subset it uses, on Linux. Same
// names, types and meaning as on Windows, within the use the module makes:
//
// - Events are manual-reset (a set event stays set until reset) and have no
//   handle limit of their own. A wait blocks on a futex at once; waiting on
//   several objects waits for all of them.
// - Threads may be created suspended; TerminateThread is only defined for a
//   thread that was never resumed (the pool's one use of it).
// - Affinity masks name processors as the kernel numbers them, as many as a
//   DWORD_PTR has bits; GetCurrentProcessorNumber is the kernel's processor of
//   the calling thread. The performance counter counts nanoseconds.
// - GetVersion reports the NT family. GetSystemInfo reports the processors in
//   the process's affinity mask, or ROWFORK_CPUS when that is a positive
//   number.
// - GetPrivateProfileIntA reads a bare file name from the directory named by
//   WINDIR, or the current directory when WINDIR is unset.
// - GlobalAlloc gives zeroed memory whatever the flags; handle and pointer are
//   the same.
// - DialogBoxParamA shows no window: it calls the dialog procedure once with
//   WM_INITDIALOG, wparam 0 and the init parameter, and returns 0.
// - WaitOnAddress (4-byte words, no time limit) and WakeByAddressSingle are
//   found by GetProcAddress in "kernelbase.dll", as on Windows 8 and later;
//   with ROWFORK_NO_WAIT_ON_ADDRESS set they are not, as on an older Windows.
#pragma once

#include <cstddef>
#include <cstdint>

using BOOL = int;
using UINT = unsigned int;
using DWORD = uint32_t;
using SIZE_T = size_t;
using INT_PTR = intptr_t;
using UINT_PTR = uintptr_t;
using DWORD_PTR = uintptr_t;
using PDWORD_PTR = DWORD_PTR *;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LPVOID = void *;
using PVOID = void *;
using LPCVOID = const void *;
using LPCSTR = const char *;
using HANDLE = void *;
using HWND = void *;
using HINSTANCE = void *;
using HMODULE = void *;
using HGLOBAL = void *;

#define WINAPI
#define CALLBACK
#define TRUE 1
#define FALSE 0
#define INFINITE 0xFFFFFFFFu
#define WAIT_OBJECT_0 0x00000000u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu
#define MAXIMUM_WAIT_OBJECTS 64
#define CREATE_SUSPENDED 0x00000004u
#define GMEM_FIXED 0x0000u
#define GMEM_MOVEABLE 0x0002u
#define GMEM_ZEROINIT 0x0040u
#define WM_INITDIALOG 0x0110u
#define MAKEINTRESOURCEA(id) (reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(static_cast<uint16_t>(id))))

struct SYSTEM_INFO {
  DWORD dwOemId;
  DWORD dwPageSize;
  LPVOID lpMinimumApplicationAddress;
  LPVOID lpMaximumApplicationAddress;
  UINT_PTR dwActiveProcessorMask;
  DWORD dwNumberOfProcessors;
  DWORD dwProcessorType;
  DWORD dwAllocationGranularity;
  uint16_t wProcessorLevel;
  uint16_t wProcessorRevision;
};
using LPSYSTEM_INFO = SYSTEM_INFO *;

// Only the whole 64-bit value is used.
struct LARGE_INTEGER {
  int64_t QuadPart;
};

using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID);
using FARPROC = INT_PTR (*)();
using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

HANDLE CreateEventA(LPVOID security, BOOL manual_reset, BOOL initial_state, LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
DWORD WaitForMultipleObjects(DWORD count, const HANDLE *handles, BOOL wait_all, DWORD milliseconds);

HANDLE CreateThread(LPVOID security, SIZE_T stack_size, LPTHREAD_START_ROUTINE start, LPVOID parameter,
                    DWORD flags, DWORD *thread_id);
DWORD ResumeThread(HANDLE thread);
BOOL TerminateThread(HANDLE thread, DWORD exit_code);
BOOL GetExitCodeThread(HANDLE thread, DWORD *exit_code);
BOOL CloseHandle(HANDLE handle);
BOOL SwitchToThread();

HANDLE GetCurrentProcess();
BOOL GetProcessAffinityMask(HANDLE process, PDWORD_PTR process_mask, PDWORD_PTR system_mask);
DWORD_PTR SetThreadAffinityMask(HANDLE thread, DWORD_PTR mask);
DWORD GetCurrentProcessorNumber();

HMODULE GetModuleHandleA(LPCSTR name);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
BOOL WaitOnAddress(volatile void *address, PVOID compare, SIZE_T size, DWORD milliseconds);
void WakeByAddressSingle(PVOID address);

BOOL QueryPerformanceCounter(LARGE_INTEGER *count);
BOOL QueryPerformanceFrequency(LARGE_INTEGER *frequency);

DWORD GetVersion();
void GetSystemInfo(LPSYSTEM_INFO info);
UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, int default_value, LPCSTR file_name);

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
LPVOID GlobalLock(HGLOBAL memory);
HGLOBAL GlobalHandle(LPCVOID memory);
BOOL GlobalUnlock(HGLOBAL memory);
HGLOBAL GlobalFree(HGLOBAL memory);

INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR template_name, HWND parent, DLGPROC dialog_proc,
                        LPARAM init_param);
