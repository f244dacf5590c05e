// The entry point's selectors and result codes, the profile switch, and the
// module's life from start-up to shut-down and back, as a host sees them.
#include <gtest/gtest.h>

#include <vector>

#include "host/plugin_support.h"
#include "host/rows/rast_rows.h"
#include "host/slot_table.h"

namespace lumora::testing {
namespace {

constexpr uint32_t kCore = Code("core");

class Lifecycle : public ModuleTest {
 protected:
  void PrepareSuites() override {
    kRastRows[0].record(*suites);
    host_core_slot1 = suites->Table(kCore)[1];
  }

 public:
  // Calls rast slot 0 through the host's table over `rows` rows; returns how
  // many slices ran.
  size_t SlicesOfACall(int16_t rows) {
    CallLog::Clear();
    kRastRows[0].call(suites->Table(kRast)[0], {0, 0, rows, 0, 1, 1, 0, 1});
    return CallLog::Take().size();
  }

 protected:
  bool SlotsReplaced() { return suites->Table(kCore)[1] != host_core_slot1; }
  Routine host_core_slot1 = nullptr;
};

TEST_F(Lifecycle, UnknownSelectorsAreRefusedAndChangeNothing) {
  for (int16_t selector : {int16_t{3}, int16_t{-1}, int16_t{0x7FFF}}) {
    EXPECT_EQ(module->Call(selector, suites->Block()), kResultBadSelector);
  }
  EXPECT_FALSE(SlotsReplaced());
  ASSERT_EQ(StartUp(), kResultSuccess);
  EXPECT_EQ(module->Call(3, nullptr), kResultBadSelector);
  EXPECT_EQ(SlicesOfACall(40), 2u) << "the module stays active";
}

TEST_F(Lifecycle, TheAboutSelectorSucceedsWhateverTheState) {
  PlatformData platform{reinterpret_cast<void *>(0x1234)};
  AboutRecord about{&platform};
  AboutRecord no_platform{nullptr};
  const int32_t calls_before = PluginDialogCalls(nullptr);
  EXPECT_EQ(module->Call(kSelectAbout, &about), kResultSuccess);
  EXPECT_EQ(module->Call(kSelectAbout, nullptr), kResultSuccess);
  EXPECT_EQ(module->Call(kSelectAbout, &no_platform), kResultSuccess);
  ASSERT_EQ(StartUp(), kResultSuccess);
  EXPECT_EQ(module->Call(kSelectAbout, &about), kResultSuccess);
  EXPECT_EQ(ShutDown(), kResultSuccess);
  EXPECT_EQ(module->Call(kSelectAbout, &about), kResultSuccess);
  if (CanChooseProcessors()) {
    // The Linux dialog call runs the host's procedure once, to set the dialog up.
    PluginDialogCall last{};
    EXPECT_EQ(PluginDialogCalls(&last), calls_before + 5);
    EXPECT_EQ(last.message, 0x0110u);
    EXPECT_EQ(last.wparam, 0u);
    EXPECT_EQ(last.lparam, 0);
  }
}

TEST_F(Lifecycle, StartUpSplitsAndShutDownEndsTheWorkers) {
  const int threads_before = ProcessThreadCount();
  ASSERT_EQ(StartUp(), kResultSuccess);
  EXPECT_TRUE(SlotsReplaced());
  EXPECT_EQ(ProcessThreadCount(), threads_before + 1);
  EXPECT_EQ(SlicesOfACall(40), 2u);
  EXPECT_EQ(SlicesOfACall(1), 1u);
  EXPECT_EQ(ShutDown(), kResultSuccess);
  EXPECT_EQ(ProcessThreadCount(), threads_before);
  EXPECT_EQ(SlicesOfACall(40), 1u) << "a call after shut-down runs unsplit";
}

TEST_F(Lifecycle, TheProfileSwitch) {
  struct Case {
    const char *profile;
    int16_t result;
  };
  const Case cases[] = {
      {"", kResultSuccess},
      {"[Lumora]\nOther=3\n", kResultSuccess},
      {"[Other]\nMultithreading=0\n", kResultSuccess},
      {"[Lumora]\nMultithreading=0\n", kResultInactive},
      {"; off\n[LUMORA]\r\n  multithreading = 0\r\n", kResultInactive},
      {"[Lumora]\nMultithreading=7\n", kResultSuccess},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.profile);
    WriteProfile(c.profile);
    Reload();
    EXPECT_EQ(StartUp(), c.result);
    EXPECT_EQ(SlotsReplaced(), c.result == kResultSuccess);
    if (c.result == kResultSuccess) {
      EXPECT_EQ(SlicesOfACall(40), 2u) << "a switch of 7 is not a count";
    }
    EXPECT_EQ(ShutDown(), kResultSuccess);
  }
}

TEST_F(Lifecycle, OneProcessorIsInactive) {
  if (!CanChooseProcessors() && MachineProcessors() != 1) GTEST_SKIP() << "needs one processor";
  UseProcessors(1);
  EXPECT_EQ(StartUp(), kResultInactive);
  EXPECT_FALSE(SlotsReplaced());
  EXPECT_EQ(ShutDown(), kResultSuccess);
}

TEST_F(Lifecycle, LackingMemoryForThePoolIsReportedAndRecoveredFrom) {
  const int threads_before = ProcessThreadCount();
  const int32_t buffers_before = PluginLiveBuffers();
  for (int32_t failing = 1; failing <= 5; ++failing) {
    SCOPED_TRACE(failing);
    PluginFailNthAlloc(failing);
    EXPECT_EQ(StartUp(), kResultPoolLacking);
    PluginFailNthAlloc(0);
    EXPECT_FALSE(SlotsReplaced());
    EXPECT_EQ(PluginLiveBuffers(), buffers_before);
    EXPECT_EQ(ProcessThreadCount(), threads_before);
    EXPECT_EQ(ShutDown(), kResultSuccess);
  }
  EXPECT_EQ(StartUp(), kResultSuccess);
  EXPECT_EQ(SlicesOfACall(40), 2u);
}

TEST_F(Lifecycle, ASecondStartUpKeepsTheFirstCapture) {
  ASSERT_EQ(StartUp(), kResultSuccess);
  EXPECT_EQ(StartUp(), kResultSuccess);
  EXPECT_EQ(SlicesOfACall(40), 2u) << "the saved routine is still the host's";
  ASSERT_EQ(ShutDown(), kResultSuccess);
  const int threads_before = ProcessThreadCount();
  EXPECT_EQ(StartUp(), kResultSuccess);
  EXPECT_EQ(ProcessThreadCount(), threads_before + 1) << "the pool is rebuilt";
  EXPECT_EQ(SlicesOfACall(40), 2u);
}

// A wrapped call that comes while a second start-up rebuilds the pool (here
// from inside the host's allocator, at each buffer the build asks for) runs
// unsplit: start-up holds the pool until it is whole.
TEST_F(Lifecycle, ACallWhileThePoolIsRebuiltRunsUnsplit) {
  ASSERT_EQ(StartUp(), kResultSuccess);
  ASSERT_EQ(ShutDown(), kResultSuccess);
  static Lifecycle *test;
  static std::vector<size_t> slices;
  test = this;
  slices.clear();
  PluginOnAlloc([] { slices.push_back(test->SlicesOfACall(40)); });
  EXPECT_EQ(StartUp(), kResultSuccess);
  PluginOnAlloc(nullptr);
  EXPECT_EQ(slices, std::vector<size_t>(5, 1)) << "four arrays and the blocks, each call whole";
  EXPECT_EQ(SlicesOfACall(40), 2u);
}

TEST_F(Lifecycle, ManyProcessorsGiveOneSlicePerProcessor) {
  const std::vector<int> counts =
      CanChooseProcessors() ? std::vector<int>{3, 4, 8, 70} : std::vector<int>{MachineProcessors()};
  if (counts[0] < 3) GTEST_SKIP() << "needs three processors or more";
  for (int processors : counts) {
    SCOPED_TRACE(processors);
    UseProcessors(processors);
    Reload();
    const int threads_before = ProcessThreadCount();
    ASSERT_EQ(StartUp(), kResultSuccess);
    EXPECT_EQ(ProcessThreadCount(), threads_before + processors - 1);
    EXPECT_EQ(SlicesOfACall(static_cast<int16_t>(processors * 3)), static_cast<size_t>(processors));
    EXPECT_EQ(SlicesOfACall(static_cast<int16_t>(processors - 1)), 1u);
    EXPECT_EQ(ShutDown(), kResultSuccess);
    EXPECT_EQ(ProcessThreadCount(), threads_before);
  }
}

}  // namespace
}  // namespace lumora::testing
