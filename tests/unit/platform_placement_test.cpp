// Placement of the pool's workers, and of the caller during a split.
#include <gtest/gtest.h>
#include <sched.h>

#include <vector>

#include "platform/win32.h"

namespace {

cpu_set_t OwnMask() {
  cpu_set_t mask;
  EXPECT_EQ(sched_getaffinity(0, sizeof mask, &mask), 0);
  return mask;
}

cpu_set_t Only(int cpu) {
  cpu_set_t mask;
  CPU_ZERO(&mask);
  CPU_SET(static_cast<size_t>(cpu), &mask);
  return mask;
}

void Restrict(const cpu_set_t &mask) { ASSERT_EQ(sched_setaffinity(0, sizeof mask, &mask), 0); }

bool Same(const cpu_set_t &a, const cpu_set_t &b) { return CPU_EQUAL(&a, &b) != 0; }

DWORD ReportMask(LPVOID out) {
  *static_cast<cpu_set_t *>(out) = OwnMask();
  return 0;
}

class Placement : public ::testing::Test {
 protected:
  void SetUp() override {
    for (size_t cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
      if (CPU_ISSET(cpu, &allowed_)) cpus_.push_back(static_cast<int>(cpu));
    }
    if (cpus_.size() < 2) GTEST_SKIP() << "placement needs two processors";
  }
  void TearDown() override {
    rowfork::ForgetWorkerPlacement();
    Restrict(allowed_);
  }

  // The mask that worker `worker` of a pool of `participants` runs with.
  cpu_set_t PlacedWorkerMask(int worker, int participants) {
    cpu_set_t seen = allowed_;
    HANDLE thread = CreateThread(nullptr, 0, ReportMask, &seen, CREATE_SUSPENDED, nullptr);
    rowfork::PlaceWorker(thread, worker, participants);
    ResumeThread(thread);
    EXPECT_EQ(WaitForSingleObject(thread, 10'000), WAIT_OBJECT_0);
    CloseHandle(thread);
    return seen;
  }

  // Puts the calling thread on `cpu`, leaving it every processor it had.
  bool RunOn(int cpu) {
    for (int attempt = 0; attempt < 100; ++attempt) {
      Restrict(Only(cpu));
      Restrict(allowed_);
      if (sched_getcpu() == cpu) return true;
    }
    return false;
  }

  // The caller's mask while a split holds it.
  cpu_set_t MaskDuringSplit() {
    rowfork::KeepCallerOffWorkers();
    const cpu_set_t during = OwnMask();
    rowfork::ReturnCallerPlacement();
    return during;
  }

  const cpu_set_t allowed_ = OwnMask();
  std::vector<int> cpus_;
};

TEST_F(Placement, EachWorkerGetsAProcessorAfterTheCallersOne) {
  const int participants = static_cast<int>(cpus_.size());
  for (int worker = 0; worker < participants - 1; ++worker) {
    EXPECT_TRUE(Same(PlacedWorkerMask(worker, participants), Only(cpus_[static_cast<size_t>(worker) + 1])))
        << "worker " << worker;
  }
}

TEST_F(Placement, OversubscribedWorkersAreLeftToTheScheduler) {
  EXPECT_TRUE(Same(PlacedWorkerMask(0, static_cast<int>(cpus_.size()) + 1), allowed_));
  ASSERT_TRUE(RunOn(cpus_[1]));
  EXPECT_TRUE(Same(MaskDuringSplit(), allowed_)) << "nothing bound, nothing to keep off";
}

TEST_F(Placement, CallerOnAWorkersProcessorMovesForTheSplitAndBack) {
  PlacedWorkerMask(0, 2);
  ASSERT_TRUE(RunOn(cpus_[1]));
  rowfork::KeepCallerOffWorkers();
  cpu_set_t expected = allowed_;
  CPU_CLR(static_cast<size_t>(cpus_[1]), &expected);
  EXPECT_TRUE(Same(OwnMask(), expected));
  EXPECT_NE(sched_getcpu(), cpus_[1]);
  rowfork::ReturnCallerPlacement();
  EXPECT_TRUE(Same(OwnMask(), allowed_));
  rowfork::ReturnCallerPlacement();
  EXPECT_TRUE(Same(OwnMask(), allowed_)) << "nothing to give back twice";
}

TEST_F(Placement, CallerStaysWhenElsewhereOrWithNowhereToGo) {
  PlacedWorkerMask(0, 2);
  Restrict(Only(cpus_[0]));
  EXPECT_TRUE(Same(MaskDuringSplit(), Only(cpus_[0]))) << "not on a worker's processor";
  Restrict(Only(cpus_[1]));
  EXPECT_TRUE(Same(MaskDuringSplit(), Only(cpus_[1]))) << "no processor but the workers'";
  rowfork::ForgetWorkerPlacement();
  ASSERT_TRUE(RunOn(cpus_[1]));
  EXPECT_TRUE(Same(MaskDuringSplit(), allowed_)) << "placement forgotten";
}

}  // namespace
