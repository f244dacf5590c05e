// The raster suite's four split slots and the core suite's busy queries,
// through the host's own tables.
#include <gtest/gtest.h>

#include <algorithm>

#include "host/guarded_buffer.h"
#include "host/host_fixture.h"
#include "host/rows/rast_rows.h"
#include "host/slot_table.h"
#include "host/suites/rast_routines.h"
#include "host/thread_tag.h"

namespace lumora::testing {
namespace {

constexpr uint32_t kCore = Code("core");

using Rast8 = int32_t (*)(void *, void *, int16_t, int16_t, int32_t, int32_t, int16_t, int16_t);
using Rast9 = int32_t (*)(void *, void *, int16_t, int16_t, int32_t, int32_t, int16_t, int16_t, int32_t);
using Rast10 = int32_t (*)(void *, void *, void *, int16_t, int16_t, int32_t, int32_t, int32_t, int16_t,
                           int16_t);

void *P(intptr_t address) { return reinterpret_cast<void *>(address); }

std::vector<RecordedCall> SortedBy(std::vector<RecordedCall> calls, size_t arg) {
  std::stable_sort(calls.begin(), calls.end(),
                   [arg](const RecordedCall &a, const RecordedCall &b) { return a.args[arg] < b.args[arg]; });
  return calls;
}

class Rast : public TableTest {
 protected:
  Rast() : TableTest(kRastRows, nullptr) {}
  template <typename F>
  F Slot(int slot) {
    return reinterpret_cast<F>(suites->Table(kRast)[slot]);
  }
};

TEST_F(Rast, TheFirstPlaneMovesByItsStrideTimesTheFactor) {
  ASSERT_EQ(StartUp(), kResultSuccess);
  for (int slot : {0, 3}) {
    CallLog::Clear();
    Slot<Rast8>(slot)(P(1000), P(5000), 5, 9, 100, 40, 11, 3);
    const auto calls = SortedBy(CallLog::Take(), 0);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].args, (std::vector<int64_t>{1000, 5000, 2, 9, 100, 40, 11, 3}));
    EXPECT_EQ(calls[1].args, (std::vector<int64_t>{1600, 5080, 3, 9, 100, 40, 11, 3}));
    EXPECT_EQ(calls[0].slot, slot) << "each slot calls its own saved routine";
    EXPECT_NE(calls[0].thread, CurrentThreadTag());
    EXPECT_EQ(calls[1].thread, CurrentThreadTag());
  }
  CallLog::Clear();
  Slot<Rast9>(1)(P(1000), P(5000), 5, 9, 100, 40, 11, -3, 0x12345678);
  const auto calls = SortedBy(CallLog::Take(), 1);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1].args, (std::vector<int64_t>{1000 - 600, 5080, 3, 9, 100, 40, 11, -3, 0x12345678}));
}

TEST_F(Rast, EverySlotAtEveryThreadCount) { ExpectEverySlice(); }

TEST_F(Rast, TheThirdPlaneOfSlotTwoIsOptional) {
  ASSERT_EQ(StartUp(), kResultSuccess);
  Slot<Rast10>(2)(P(1000), P(5000), nullptr, 5, 9, 100, 40, 8, 11, 2);
  auto calls = SortedBy(CallLog::Take(), 1);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1].args, (std::vector<int64_t>{1400, 5080, 0, 3, 9, 100, 40, 8, 11, 2}));
  Slot<Rast10>(2)(P(1000), P(5000), P(9000), 5, 9, 100, 40, 8, 11, 2);
  calls = SortedBy(CallLog::Take(), 1);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1].args[2], 9016);
}

TEST_F(Rast, FewerRowsThanThreadsRunUnsplit) {
  if (!CanChooseProcessors()) GTEST_SKIP() << "the processor count is the machine's";
  UseProcessors(3);
  Reload();
  ASSERT_EQ(StartUp(), kResultSuccess);
  Slot<Rast10>(2)(P(1000), P(5000), P(9000), 2, 9, 100, 40, 8, 11, 2);
  const auto calls = CallLog::Take();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].args, (std::vector<int64_t>{1000, 5000, 9000, 2, 9, 100, 40, 8, 11, 2}));
}

class RastOutput : public ModuleTest {
 protected:
  void PrepareSuites() override { PutRastRoutines(*suites); }
};

// The host's own routines, saved before the wrappers went in.
struct HostRast {
  explicit HostRast(HostSuites &suites) {
    for (int slot = 0; slot < 4; ++slot) routines[slot] = suites.Table(kRast)[slot];
  }
  Routine routines[4];
};

TEST_F(RastOutput, SplitOutputMatchesTheUnsplitOutput) {
  AtEachThreadCount([&](int) {
    HostSuites reference;  // the same routines, called directly
    PutRastRoutines(reference);
    const HostRast direct(reference);
    for (int rows : {1, 2, 3, 7, 8, 9, 31}) {
      for (int16_t factor : {int16_t{1}, int16_t{2}}) {
        for (bool with_mask : {false, true}) {
          SCOPED_TRACE(::testing::Message() << rows << " rows, factor " << factor << ", mask " << with_mask);
          const int32_t s1 = 16, s2 = -20, s3 = 24;
          GuardedBuffer source(PlaneBytes(rows, s2), 7), mask(PlaneBytes(rows, s3), 11);
          GuardedBuffer split(PlaneBytes(rows, s1 * factor), 3), unsplit = split;
          void *mask_rows = with_mask ? mask.PlaneStart(rows, s3) : nullptr;
          const auto r16 = static_cast<int16_t>(rows);
          for (int slot : {0, 3}) {
            reinterpret_cast<Rast8>(direct.routines[slot])(unsplit.Data(), source.PlaneStart(rows, s2), r16,
                                                           1, s1, s2, 0, factor);
            reinterpret_cast<Rast8>(suites->Table(kRast)[slot])(split.Data(), source.PlaneStart(rows, s2),
                                                                r16, 1, s1, s2, 0, factor);
          }
          reinterpret_cast<Rast9>(direct.routines[1])(unsplit.Data(), source.PlaneStart(rows, s2), r16, 0, s1,
                                                      s2, 0, factor, 5);
          reinterpret_cast<Rast9>(suites->Table(kRast)[1])(split.Data(), source.PlaneStart(rows, s2), r16, 0,
                                                           s1, s2, 0, factor, 5);
          reinterpret_cast<Rast10>(direct.routines[2])(unsplit.Data(), source.PlaneStart(rows, s2), mask_rows,
                                                       r16, 0, s1, s2, s3, 0, factor);
          reinterpret_cast<Rast10>(suites->Table(kRast)[2])(split.Data(), source.PlaneStart(rows, s2),
                                                            mask_rows, r16, 0, s1, s2, s3, 0, factor);
          ASSERT_TRUE(split == unsplit);
        }
      }
    }
  });
}

// ---- core: what a routine running inside a slice learns ----

struct BusyAnswers {
  int32_t slot1;
  int32_t slot11;
  int32_t slot3;
};
std::mutex answers_mutex;
std::vector<BusyAnswers> answers;
Routine *core_table;

int32_t HostCoreSlot1() {
  CallLog::Add(kCore, 1, {});
  return 77;
}
int32_t HostCoreSlot3(int32_t a, int32_t b, int32_t c) {
  CallLog::Add(kCore, 3, {a, b, c});
  return a + b + c;
}
BusyAnswers AskCore() {
  return {reinterpret_cast<int32_t (*)()>(core_table[1])(), reinterpret_cast<int32_t (*)()>(core_table[11])(),
          reinterpret_cast<int32_t (*)(int32_t, int32_t, int32_t)>(core_table[3])(1, 20, 300)};
}
int32_t AskingSlice(void *, void *, int16_t, int16_t, int32_t, int32_t, int16_t, int16_t) {
  const BusyAnswers answer = AskCore();
  std::lock_guard<std::mutex> lock(answers_mutex);
  answers.push_back(answer);
  return 0;
}

class Core : public ModuleTest {
 protected:
  void PrepareSuites() override {
    suites->SetSlot(kCore, 1, &HostCoreSlot1);
    suites->SetSlot(kCore, 3, &HostCoreSlot3);
    suites->SetSlot(kRast, 0, &AskingSlice);
    core_table = suites->Table(kCore);
    answers.clear();
  }
};

TEST_F(Core, OutsideASplitTheQueriesReachTheHost) {
  ASSERT_EQ(StartUp(), kResultSuccess);
  CallLog::Clear();
  const BusyAnswers answer = AskCore();
  EXPECT_EQ(answer.slot1, 77);
  EXPECT_EQ(answer.slot11, 1);
  EXPECT_EQ(answer.slot3, 321);
  const auto calls = CallLog::Take();
  ASSERT_EQ(calls.size(), 2u) << "slot 11 never calls the host";
  EXPECT_EQ(calls[0].slot, 1);
  EXPECT_EQ(calls[1].args, (std::vector<int64_t>{1, 20, 300}));
}

TEST_F(Core, InsideASliceTheModuleAnswersForTheHost) {
  ASSERT_EQ(StartUp(), kResultSuccess);
  CallLog::Clear();
  reinterpret_cast<Rast8>(suites->Table(kRast)[0])(nullptr, nullptr, 40, 0, 1, 1, 0, 1);
  ASSERT_EQ(answers.size(), 2u) << "one answer from the worker, one from the caller";
  for (const BusyAnswers &answer : answers) {
    EXPECT_EQ(answer.slot1, 1);
    EXPECT_EQ(answer.slot11, 0);
    EXPECT_EQ(answer.slot3, 321);
  }
  for (const RecordedCall &call : CallLog::Take()) EXPECT_EQ(call.slot, 3) << "only slot 3 reached the host";
}

}  // namespace
}  // namespace lumora::testing
