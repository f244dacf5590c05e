// Unit tests drive the module's code directly: a live pool of a chosen size,
// and slice recorders that note which thread ran which slice with what.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <mutex>
#include <vector>

#include "host/thread_tag.h"
#include "pool/pool.h"

namespace rowfork::testing {

// A pool of `threads` participants for the length of a test.
class LivePool {
 public:
  explicit LivePool(int threads);
  ~LivePool();
  LivePool(const LivePool &) = delete;
  LivePool &operator=(const LivePool &) = delete;
  bool Built() const { return built_; }

 private:
  bool built_ = false;
};

// One slice as a recording routine saw it.
struct SliceCall {
  uint64_t thread;
  std::vector<int64_t> args;
};

class SliceLog {
 public:
  void Add(std::vector<int64_t> args);
  // The calls, ordered by their first argument (slices in order of their rows).
  std::vector<SliceCall> Sorted(int key_arg = 0);
  size_t Size();

 private:
  std::mutex mutex_;
  std::vector<SliceCall> calls_;
};

// A test fixture with a pool of GetParam() participants.
class PoolTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override;
  void TearDown() override;
  int Threads() const { return GetParam(); }
  std::unique_ptr<LivePool> pool_;
};

}  // namespace rowfork::testing
