#include "unit/module_fixture.h"

#include <algorithm>

#include "pool/pool.h"

namespace rowfork::testing {

LivePool::LivePool(int threads) {
  WaitAndClaimPool();
  built_ = CreateWorkerPool(static_cast<int16_t>(threads)) == 0;
  ReleasePool();
}

LivePool::~LivePool() {
  WaitAndClaimPool();
  if (built_) DestroyWorkerPool();
  ReleasePool();
}

void SliceLog::Add(std::vector<int64_t> args) {
  SliceCall call{lumora::CurrentThreadTag(), std::move(args)};
  std::lock_guard<std::mutex> lock(mutex_);
  calls_.push_back(std::move(call));
}

std::vector<SliceCall> SliceLog::Sorted(int key_arg) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<SliceCall> sorted = calls_;
  std::stable_sort(sorted.begin(), sorted.end(), [key_arg](const SliceCall &a, const SliceCall &b) {
    return a.args[static_cast<size_t>(key_arg)] < b.args[static_cast<size_t>(key_arg)];
  });
  return sorted;
}

size_t SliceLog::Size() {
  std::lock_guard<std::mutex> lock(mutex_);
  return calls_.size();
}

void PoolTest::SetUp() {
  pool_ = std::make_unique<LivePool>(Threads());
  ASSERT_TRUE(pool_->Built());
  ASSERT_FALSE(SplitInProgress());
}

void PoolTest::TearDown() {
  EXPECT_FALSE(SplitInProgress()) << "a split left the pool claimed";
  pool_.reset();
}

}  // namespace rowfork::testing
