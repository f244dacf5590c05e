// Wrapped calls in bulk over every suite's split slots at 2, 3, 4 and 8
// threads, some of them making a wrapped call from inside each slice: every
// output the same as unsplit, every slice run, no deadlock (the test's time
// limit). Then the module started and ended over and over with calls between.
#include <gtest/gtest.h>

#include <random>

#include "host/host_fixture.h"
#include "host/plugin_support.h"
#include "host/thread_tag.h"
#include "stress/stress_mix.h"

namespace lumora::testing {
namespace {

class Stress : public ModuleTest {
 protected:
  void PrepareSuites() override {
    PutWorkingRoutines(*suites);
    PutForwardingRoutines(*suites);
  }
};

TEST_F(Stress, SplitsInBulkMatchTheUnsplitCalls) {
  const int64_t splits_per_count = SplitsToMake() / 4;
  AtEachThreadCount([&](int threads) {
    HostSuites reference;
    PutWorkingRoutines(reference);
    std::vector<MixedCall> mix = MakeMix(reference, true, true);
    std::mt19937 random(static_cast<uint32_t>(threads));
    std::uniform_int_distribution<size_t> pick(0, mix.size() - 1);
    int64_t splits = 0, calls = 0, nested = 0;
    while (splits < splits_per_count) {
      MixedCall &call = mix[pick(random)];
      Routine *table = suites->Table(call.Suite());
      ASSERT_TRUE(call.RunAndCheck(table, threads)) << call.Name() << " after " << calls << " calls";
      ++calls;
      if (call.Splits(threads)) ++splits;
      if (call.Forwards()) nested += call.Slices(threads);
    }
    RecordProperty("splits_at_" + std::to_string(threads), std::to_string(splits));
    std::printf("%d threads: %lld calls, %lld splits, %lld wrapped calls from inside slices\n", threads,
                static_cast<long long>(calls), static_cast<long long>(splits),
                static_cast<long long>(nested));
    EXPECT_GT(nested, 0);
  });
}

TEST_F(Stress, StartUpAndShutDownOverAndOver) {
  const int threads_before = ProcessThreadCount();
  const int32_t buffers_before = PluginLiveBuffers();
  HostSuites reference;
  PutWorkingRoutines(reference);
  std::vector<MixedCall> mix = MakeMix(reference, true, true);
  const int threads = CanChooseProcessors() ? 2 : MachineProcessors();
  for (int cycle = 0; cycle < 50; ++cycle) {
    SCOPED_TRACE(::testing::Message() << "cycle " << cycle);
    ASSERT_EQ(StartUp(), kResultSuccess);
    EXPECT_EQ(ProcessThreadCount(), threads_before + threads - 1);
    for (size_t i = static_cast<size_t>(cycle); i < mix.size(); i += 37) {
      ASSERT_TRUE(mix[i].RunAndCheck(suites->Table(mix[i].Suite()), threads)) << mix[i].Name();
    }
    ASSERT_EQ(ShutDown(), kResultSuccess);
    EXPECT_EQ(ProcessThreadCount(), threads_before);
    EXPECT_EQ(PluginLiveBuffers(), buffers_before);
    // Unsplit now: each forwarding slot runs one slice.
    for (size_t i = static_cast<size_t>(cycle); i < mix.size(); i += 37) {
      ASSERT_TRUE(mix[i].RunAndCheck(suites->Table(mix[i].Suite()), 1))
          << mix[i].Name() << ", after shut-down";
    }
  }
}

}  // namespace
}  // namespace lumora::testing
