// The raster suite's four split slots and the core suite's busy queries,
// through the host's own tables.
#include <gtest/gtest.h>

#include <mutex>

#include "host/rows/rast_rows.h"
#include "host/slot_table.h"
#include "host/suites/rast_routines.h"

namespace lumora::testing {
namespace {

constexpr uint32_t kCore = Code("core");

using RastSlices = TableTest<kRastRows>;

TEST_F(RastSlices, EverySlotAtEveryThreadCount) { ExpectEverySlice(); }

TEST_F(RastSlices, TheWorkedExamples) {
  if (!StartOn(2)) GTEST_SKIP() << "needs two processors";
  // Slots 0 and 3, 5 rows, factor 3: the first plane moves 2 rows of 100 * 3 bytes.
  for (int slot : {0, 3}) {
    EXPECT_EQ(Slices(slot, {1000, 5000, 5, 9, 100, 40, 11, 3}),
              (std::vector<Numbers>{{1000, 5000, 2, 9, 100, 40, 11, 3}, {1600, 5080, 3, 9, 100, 40, 11, 3}}));
  }
  // A negative factor moves it back.
  EXPECT_EQ(Slices(1, {1000, 5000, 5, 9, 100, 40, 11, -3, 0x12345678}),
            (std::vector<Numbers>{{400, 5080, 3, 9, 100, 40, 11, -3, 0x12345678},
                                  {1000, 5000, 2, 9, 100, 40, 11, -3, 0x12345678}}));
  // Slot 2: a null third plane stays null; another moves by its own stride.
  EXPECT_EQ(Slices(2, {1000, 5000, 0, 5, 9, 100, 40, 8, 11, 2}),
            (std::vector<Numbers>{{1000, 5000, 0, 2, 9, 100, 40, 8, 11, 2},
                                  {1400, 5080, 0, 3, 9, 100, 40, 8, 11, 2}}));
  EXPECT_EQ(Slices(2, {1000, 5000, 9000, 5, 9, 100, 40, 8, 11, 2})[1][2], 9016);
  // Rows 2 on 3 threads run unsplit.
  if (!StartOn(3)) return;
  const Numbers two_rows = {1000, 5000, 9000, 2, 9, 100, 40, 8, 11, 2};
  EXPECT_EQ(Slices(2, two_rows), std::vector<Numbers>{two_rows});
}

using RastOutput = TableTest<kRastRows, &PutRastRoutines>;

TEST_F(RastOutput, SplitOutputMatchesTheUnsplitOutput) { ExpectEveryOutput(); }

// ---- core: what a routine running inside a slice learns ----

struct BusyAnswers {
  int32_t slot1, slot11, slot3;
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
int32_t AskingSlice(Ptr, Ptr, I16, I16, I32, I32, I16, I16) {
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
  EXPECT_EQ(calls[1].args, (Numbers{1, 20, 300}));
}

TEST_F(Core, InsideASliceTheModuleAnswersForTheHost) {
  ASSERT_EQ(StartUp(), kResultSuccess);
  CallLog::Clear();
  reinterpret_cast<int32_t (*)(Ptr, Ptr, I16, I16, I32, I32, I16, I16)>(suites->Table(kRast)[0])(
      nullptr, nullptr, 40, 0, 1, 1, 0, 1);
  ASSERT_GE(answers.size(), 2u) << "an answer from every slice";
  for (const BusyAnswers &answer : answers) {
    EXPECT_EQ(answer.slot1, 1);
    EXPECT_EQ(answer.slot11, 0);
    EXPECT_EQ(answer.slot3, 321);
  }
  for (const RecordedCall &call : CallLog::Take()) EXPECT_EQ(call.slot, 3) << "only slot 3 reached the host";
}

}  // namespace
}  // namespace lumora::testing
