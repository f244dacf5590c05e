// The version and processor information start-up asks for.
#include <unistd.h>

#include <cstdlib>

#include "platform/posix/affinity.h"
#include "platform/posix/win32_subset.h"

namespace {

// Windows 8 (6.2, build 9200): high bit clear, the NT family.
constexpr DWORD kVersion = 0x23F00206u;

constexpr auto kHighestAddress =
    static_cast<UINT_PTR>(sizeof(UINT_PTR) == 8 ? 0x00007FFFFFFEFFFFull : 0x7FFEFFFFull);

#if defined(__x86_64__)
constexpr DWORD kArchitecture = 9;  // PROCESSOR_ARCHITECTURE_AMD64
constexpr DWORD kProcessorType = 8664;
#elif defined(__aarch64__)
constexpr DWORD kArchitecture = 12;  // PROCESSOR_ARCHITECTURE_ARM64
constexpr DWORD kProcessorType = 0;
#else
constexpr DWORD kArchitecture = 0xFFFF;  // unknown
constexpr DWORD kProcessorType = 0;
#endif

// ROWFORK_CPUS when it is a positive decimal number that fits a DWORD, else 0.
DWORD CpusFromEnvironment() {
  const char *text = std::getenv("ROWFORK_CPUS");
  if (text == nullptr || *text == '\0') return 0;
  uint64_t value = 0;
  for (const char *c = text; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') return 0;
    value = value * 10 + static_cast<uint64_t>(*c - '0');
    if (value > 0xFFFFFFFFu) return 0;
  }
  return static_cast<DWORD>(value);
}

// A mask of the first `count` processors.
UINT_PTR LowBits(DWORD count) {
  return count >= sizeof(UINT_PTR) * 8 ? ~UINT_PTR{0} : (UINT_PTR{1} << count) - 1;
}

}  // namespace

DWORD GetVersion() { return kVersion; }

void GetSystemInfo(LPSYSTEM_INFO info) {
  if (info == nullptr) return;
  cpu_set_t cpus;
  // Without a readable mask, every processor online.
  const long online = sysconf(_SC_NPROCESSORS_ONLN);
  DWORD count = online > 0 ? static_cast<DWORD>(online) : 1;
  UINT_PTR mask = LowBits(count);
  if (rowfork::posix::ReadProcessCpus(cpus)) {
    count = static_cast<DWORD>(CPU_COUNT(&cpus));
    mask = 0;
    for (unsigned cpu = 0; cpu < sizeof(UINT_PTR) * 8; ++cpu) {
      if (CPU_ISSET(cpu, &cpus)) mask |= UINT_PTR{1} << cpu;
    }
  }
  if (const DWORD forced = CpusFromEnvironment(); forced != 0) {
    count = forced;
    mask = LowBits(count);
  }

  *info = SYSTEM_INFO{};
  info->dwOemId = kArchitecture;
  info->dwPageSize = static_cast<DWORD>(sysconf(_SC_PAGESIZE));
  info->lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(UINT_PTR{0x10000});
  info->lpMaximumApplicationAddress = reinterpret_cast<LPVOID>(kHighestAddress);
  info->dwActiveProcessorMask = mask;
  info->dwNumberOfProcessors = count;
  info->dwProcessorType = kProcessorType;
  info->dwAllocationGranularity = 0x10000;
  info->wProcessorLevel = 6;
  info->wProcessorRevision = 0;
}
