// Wrapped calls in bulk over every suite's split slots at 2, 3, 4 and 8
// threads, some of them making a wrapped call from inside each slice: every
// output the same as unsplit, every slice run, no deadlock (the test's time
// limit). Then splits whose waits end just as either side goes to sleep, and
// the module started and ended over and over with calls between.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <vector>

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
      const size_t picked = pick(random);
      MixedCall &call = mix[picked];
      Routine *table = suites->Table(call.Suite());
      ASSERT_TRUE(call.RunAndCheck(table, threads)) << call.Name() << " after " << calls << " calls";
      ++calls;
      if (call.Slices(threads) > 1) ++splits;
      if (call.Forwards()) nested += call.Slices(threads);
    }
    RecordProperty("splits_at_" + std::to_string(threads), std::to_string(splits));
    EXPECT_GT(nested, 0) << "wrapped calls from inside slices";
  });
}

// rast slot 0 for the hand-off test: adds one to the first byte of each of its
// rows; the band that starts at the plane's first row (a worker's, when the
// call splits) first waits `wait_us` microseconds.
const uint8_t *first_row;
void BusyWait(int microseconds) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(microseconds);
  while (std::chrono::steady_clock::now() < until) {
  }
}
int32_t MarkRows(void *plane, void *, int16_t rows, int16_t wait_us, int32_t stride, int32_t, int16_t,
                 int16_t) {
  if (plane == first_row) BusyWait(wait_us);
  for (int r = 0; r < rows; ++r) ++static_cast<uint8_t *>(plane)[r * stride];
  return 0;
}
using RastCall = int32_t (*)(void *, void *, int16_t, int16_t, int32_t, int32_t, int16_t, int16_t);

class HandOff : public ModuleTest {
 protected:
  void PrepareSuites() override { suites->SetSlot(Code("rast"), 0, &MarkRows); }
};

// A worker spins about half a millisecond for its next band before it sleeps,
// and the caller about two for the workers before it sleeps: here the host
// calls after pauses around the first and with worker bands around the
// second, so that hands and sleeps cross in every order. Every row is marked
// once per call, and no call hangs (the test's time limit).
TEST_F(HandOff, HandsThatCrossASleepAreNeverLost) {
  const int calls = static_cast<int>(std::clamp<int64_t>(SplitsToMake() / 5000, 50, 300));
  AtEachThreadCount([&](int threads) {
    const int rows = 8 * threads;
    std::vector<uint8_t> plane(static_cast<size_t>(rows), 0);
    first_row = plane.data();
    std::mt19937 random(static_cast<uint32_t>(threads));
    std::uniform_int_distribution<int> pause_us(400, 600), band_us(1800, 2200), kind(0, 7);
    const auto wrapper = reinterpret_cast<RastCall>(suites->Table(Code("rast"))[0]);
    for (int call = 1; call <= calls; ++call) {
      const int which = kind(random);
      if (which < 4) BusyWait(pause_us(random));
      const auto wait_us = static_cast<int16_t>(which % 4 == 0 ? band_us(random) : 0);
      wrapper(plane.data(), nullptr, static_cast<int16_t>(rows), wait_us, 1, 0, 0, 1);
      for (int r = 0; r < rows; ++r) {
        ASSERT_EQ(plane[static_cast<size_t>(r)], static_cast<uint8_t>(call))
            << "row " << r << ", call " << call;
      }
    }
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
