// Unit tests drive the module's code directly, with a live pool of a chosen
// size.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

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
  bool Built() const { return built_; }

 private:
  bool built_ = false;
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
