// Placement of the pool's workers, and of the caller during a split.
#include <gtest/gtest.h>
#include <sched.h>

#include <atomic>
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

// A placed worker that stays alive and, each time it is asked, reports the
// mask it runs with.
class LiveWorker {
 public:
  LiveWorker(int worker, int participants) {
    thread_ = CreateThread(nullptr, 0, &LiveWorker::Main, this, CREATE_SUSPENDED, nullptr);
    rowfork::PlaceWorker(thread_, worker, participants);
    ResumeThread(thread_);
  }
  ~LiveWorker() {
    quit_ = true;
    SetEvent(ask_);
    WaitForSingleObject(thread_, 10'000);
    for (HANDLE handle : {thread_, ask_, answered_}) CloseHandle(handle);
  }
  LiveWorker(const LiveWorker &) = delete;
  LiveWorker &operator=(const LiveWorker &) = delete;

  cpu_set_t Mask() {
    SetEvent(ask_);
    EXPECT_EQ(WaitForSingleObject(answered_, 10'000), WAIT_OBJECT_0);
    ResetEvent(answered_);
    return mask_;
  }

 private:
  static DWORD WINAPI Main(LPVOID self) {
    auto *worker = static_cast<LiveWorker *>(self);
    for (;;) {
      WaitForSingleObject(worker->ask_, INFINITE);
      ResetEvent(worker->ask_);
      if (worker->quit_) return 0;
      worker->mask_ = OwnMask();
      SetEvent(worker->answered_);
    }
  }

  HANDLE ask_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE answered_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::atomic<bool> quit_{false};
  cpu_set_t mask_{};
  HANDLE thread_ = nullptr;
};

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
    rowfork::ForgetWorkerPlacement();  // the thread is gone
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
}

TEST_F(Placement, AWorkerOnTheCallersProcessorMakesWayAndTheCallerKeepsItsMask) {
  LiveWorker worker(0, 2);
  ASSERT_TRUE(Same(worker.Mask(), Only(cpus_[1])));
  // The caller on the spare processor: nothing moves.
  ASSERT_TRUE(RunOn(cpus_[0]));
  rowfork::MakeWayForCaller();
  EXPECT_TRUE(Same(worker.Mask(), Only(cpus_[1])));
  // On the worker's: the worker takes the spare, and the caller's becomes it.
  ASSERT_TRUE(RunOn(cpus_[1]));
  rowfork::MakeWayForCaller();
  EXPECT_TRUE(Same(worker.Mask(), Only(cpus_[0])));
  EXPECT_TRUE(Same(OwnMask(), allowed_)) << "the caller's own processors are never touched";
  ASSERT_TRUE(RunOn(cpus_[0]));
  rowfork::MakeWayForCaller();
  EXPECT_TRUE(Same(worker.Mask(), Only(cpus_[1]))) << "and back";
}

TEST_F(Placement, ACallerHeldToOneProcessorStillGetsItToItself) {
  LiveWorker worker(0, 2);
  Restrict(Only(cpus_[1]));
  rowfork::MakeWayForCaller();
  EXPECT_TRUE(Same(worker.Mask(), Only(cpus_[0])));
  EXPECT_TRUE(Same(OwnMask(), Only(cpus_[1])));
}

TEST_F(Placement, NothingMovesOncePlacementIsForgotten) {
  LiveWorker worker(0, 2);
  rowfork::ForgetWorkerPlacement();
  ASSERT_TRUE(RunOn(cpus_[1]));
  rowfork::MakeWayForCaller();
  EXPECT_TRUE(Same(worker.Mask(), Only(cpus_[1])));
}

}  // namespace
