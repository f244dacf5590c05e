// Unit tests drive the module's code directly: a live pool of a chosen size,
// and a log in which recording routines note which thread ran which slice
// with what arguments.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <vector>

#include "host/thread_tag.h"
#include "pool/pool.h"

namespace rowfork::testing {

// A pool of `threads` participants for the object's life.
class LivePool {
 public:
  explicit LivePool(int threads) {
    WaitAndClaimPool();
    built_ = CreateWorkerPool(static_cast<int16_t>(threads)) == 0;
    ReleasePool();
  }
  ~LivePool() {
    WaitAndClaimPool();
    if (built_) DestroyWorkerPool();
    ReleasePool();
  }
  LivePool(const LivePool &) = delete;
  LivePool &operator=(const LivePool &) = delete;
  bool Built() const { return built_; }

 private:
  bool built_ = false;
};

struct SliceCall {
  uint64_t thread;
  std::vector<int64_t> args;
};

class SliceLog {
 public:
  void Add(std::vector<int64_t> args) {
    SliceCall call{lumora::CurrentThreadTag(), std::move(args)};
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.push_back(std::move(call));
  }
  // The calls so far, ordered by their first argument (slices in the order
  // of their rows), leaving the log empty.
  std::vector<SliceCall> Take() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<SliceCall> calls;
    calls.swap(calls_);
    std::stable_sort(calls.begin(), calls.end(),
                     [](const SliceCall &a, const SliceCall &b) { return a.args[0] < b.args[0]; });
    return calls;
  }

 private:
  std::mutex mutex_;
  std::vector<SliceCall> calls_;
};

// A test with a pool of GetParam() participants, which no split may leave
// claimed.
class PoolTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override { ASSERT_TRUE(pool_.Built()); }
  void TearDown() override { EXPECT_FALSE(SplitInProgress()) << "a split left the pool claimed"; }
  int Threads() const { return GetParam(); }

 private:
  LivePool pool_{GetParam()};
};

}  // namespace rowfork::testing
