// What start-up and the histogram split ask of the system: version, processor
// count, zeroed global memory.
#include <gtest/gtest.h>
#include <sched.h>
#include <unistd.h>

#include <cstring>

#include "platform/win32.h"
#include "platform_test_support.h"

namespace {

using rowfork::platform_testing::ScopedEnv;

DWORD AffinityCpus() {
  cpu_set_t cpus;
  EXPECT_EQ(sched_getaffinity(0, sizeof cpus, &cpus), 0);
  return static_cast<DWORD>(CPU_COUNT(&cpus));
}

SYSTEM_INFO Info() {
  SYSTEM_INFO info;
  std::memset(&info, 0xA5, sizeof info);
  GetSystemInfo(&info);
  return info;
}

TEST(System, VersionAndInfo) {
  EXPECT_EQ(GetVersion() & 0x80000000u, 0u) << "the NT family";
  ScopedEnv unset("ROWFORK_CPUS", std::nullopt);
  const SYSTEM_INFO info = Info();
  EXPECT_EQ(info.dwNumberOfProcessors, AffinityCpus());
  EXPECT_EQ(info.dwPageSize, static_cast<DWORD>(sysconf(_SC_PAGESIZE)));
  EXPECT_NE(info.dwActiveProcessorMask, 0u);
}

TEST(System, RowforkCpusOverridesOnlyWhenAPositiveNumber) {
  const DWORD real = AffinityCpus();
  for (const char *count : {"70", "1", "007"}) {
    ScopedEnv cpus("ROWFORK_CPUS", count);
    EXPECT_EQ(Info().dwNumberOfProcessors, static_cast<DWORD>(std::atoi(count)));
  }
  for (const char *ignored : {"0", "", "-4", "+4", "abc", "4x", " 4", "3.5", "99999999999"}) {
    ScopedEnv cpus("ROWFORK_CPUS", ignored);
    EXPECT_EQ(Info().dwNumberOfProcessors, real) << "ROWFORK_CPUS=\"" << ignored << "\"";
  }
}

TEST(GlobalMemory, BlocksAreZeroedAndHandleIsPointer) {
  constexpr SIZE_T kBytes = 3 * 6144;
  for (int round = 0; round < 2; ++round) {  // the second may reuse the first's dirtied memory
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kBytes);
    auto *bytes = static_cast<unsigned char *>(GlobalLock(memory));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(GlobalHandle(bytes), memory);
    for (SIZE_T i = 0; i < kBytes; ++i) ASSERT_EQ(bytes[i], 0) << "byte " << i;
    std::memset(bytes, 0xFF, kBytes);
    EXPECT_FALSE(GlobalUnlock(GlobalHandle(bytes))) << "no longer locked";
    EXPECT_EQ(GlobalFree(GlobalHandle(bytes)), nullptr);
  }
}

}  // namespace
