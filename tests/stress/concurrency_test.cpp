// Two host threads calling wrapped routines at once: whichever finds the pool
// taken runs its call unsplit, so both always get the unsplit output, and
// neither waits for the other.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

#include "host/host_fixture.h"
#include "host/thread_tag.h"
#include "stress/stress_mix.h"

namespace lumora::testing {
namespace {

class Concurrency : public ModuleTest {
 protected:
  void PrepareSuites() override { PutWorkingRoutines(*suites); }
};

TEST_F(Concurrency, TwoHostThreadsGetTheUnsplitOutput) {
  const int64_t calls_per_thread = SplitsToMake() / 20;
  AtEachThreadCount([&](int threads) {
    HostSuites reference;
    PutWorkingRoutines(reference);
    // One mix per host thread: each call has planes of its own. The painting
    // canvas is shared by the host's routines, so calls that paint it stay out.
    std::vector<MixedCall> mixes[2] = {MakeMix(reference, false, false), MakeMix(reference, false, false)};
    std::atomic<int64_t> wrong{0};
    auto run = [&](int host_thread) {
      std::mt19937 random(static_cast<uint32_t>(host_thread * 100 + threads));
      std::vector<MixedCall> &mix = mixes[host_thread];
      std::uniform_int_distribution<size_t> pick(0, mix.size() - 1);
      for (int64_t i = 0; i < calls_per_thread; ++i) {
        const size_t picked = pick(random);
        if (!mix[picked].RunAndCheck(suites->Table(mix[picked].Suite()), threads)) wrong.fetch_add(1);
      }
    };
    std::thread other(run, 1);
    run(0);
    other.join();
    EXPECT_EQ(wrong.load(), 0);
  });
}

// ---- the thread that finds the pool taken ----

constexpr uint32_t kRastKey = Code("rast");
constexpr intptr_t kHolder = 1, kLatecomer = 2;

std::atomic<bool> pool_held{false}, latecomer_done{false};
std::atomic<uint64_t> holder_thread{0};

// rast slot 0. The holder's slice on its own thread keeps the pool taken
// until the latecomer's call has returned; every call is recorded.
int32_t HoldingRoutine(void *first, void *second, int16_t rows, int16_t width, int32_t s1, int32_t s2,
                       int16_t factor, int16_t extra) {
  RecordingRoutine<kRastKey, 0, 0>(first, second, rows, width, s1, s2, factor, extra);
  if (reinterpret_cast<intptr_t>(first) == kHolder && CurrentThreadTag() == holder_thread.load()) {
    pool_held.store(true);
    while (!latecomer_done.load()) std::this_thread::yield();
  }
  return 0;
}

class PoolTaken : public ModuleTest {
 protected:
  void PrepareSuites() override { suites->SetSlot(kRastKey, 0, &HoldingRoutine); }
};

TEST_F(PoolTaken, TheLatecomerRunsUnsplitOnItsOwnThread) {
  using RastCall = int32_t (*)(void *, void *, int16_t, int16_t, int32_t, int32_t, int16_t, int16_t);
  AtEachThreadCount([&](int threads) {
    pool_held.store(false);
    latecomer_done.store(false);
    CallLog::Clear();
    const auto wrapped = reinterpret_cast<RastCall>(suites->Table(kRastKey)[0]);
    const uint64_t latecomer_thread = CurrentThreadTag();
    std::thread holder([&] {
      holder_thread.store(CurrentThreadTag());
      wrapped(reinterpret_cast<void *>(kHolder), nullptr, 40, 0, 1, 1, 1, 0);
    });
    while (!pool_held.load()) std::this_thread::yield();
    wrapped(reinterpret_cast<void *>(kLatecomer), nullptr, 40, 0, 1, 1, 1, 0);
    latecomer_done.store(true);
    holder.join();
    int holder_slices = 0, latecomer_calls = 0;
    for (const RecordedCall &call : CallLog::Take()) {
      if (call.args[0] == kHolder) {
        ++holder_slices;
      } else {
        ++latecomer_calls;
        EXPECT_EQ(call.thread, latecomer_thread) << "the latecomer's call stays on its thread";
        EXPECT_EQ(call.args[2], 40) << "with all its rows";
      }
    }
    EXPECT_EQ(holder_slices, threads);
    EXPECT_EQ(latecomer_calls, 1);
  });
}

}  // namespace
}  // namespace lumora::testing
