// Finding and checking the ten suites at start-up: which suite lists start
// the module and which are refused with -30900, changing no table.
#include <gtest/gtest.h>

#include <functional>

#include "host/host_fixture.h"

namespace lumora::testing {
namespace {

constexpr uint32_t kCore = Code("core");
constexpr uint32_t kRast = Code("rast");
constexpr uint32_t kConv = Code("conv");

auto *const kRastRecorder =
    &RecordingRoutine<kRast, 0, 0, void *, void *, int16_t, int16_t, int32_t, int32_t, int16_t, int16_t>;
using RastCall = int32_t (*)(void *, void *, int16_t, int16_t, int32_t, int32_t, int16_t, int16_t);

class Capture : public ModuleTest {
 protected:
  // Starts the module on the host's list as `change` leaves it.
  int16_t StartUpWith(const std::function<void(HostSuites &)> &change) {
    Reload();
    change(*suites);
    return StartUp();
  }
  bool AnySlotReplaced() {
    for (const SuiteDefinition &definition : kHostSuites) {
      const Routine *table = suites->Table(definition.key);
      for (int slot = 0; slot < definition.entries; ++slot) {
        if (table[slot] != pristine_.Table(definition.key)[slot]) return true;
      }
    }
    return false;
  }

 private:
  HostSuites pristine_;  // every untouched routine, for comparison
};

TEST_F(Capture, TheStandardListStartsTheModule) {
  EXPECT_EQ(StartUpWith([](HostSuites &) {}), kResultSuccess);
  EXPECT_TRUE(AnySlotReplaced());
}

TEST_F(Capture, RefusedListsChangeNoTable) {
  struct Case {
    const char *what;
    std::function<void(HostSuites &)> change;
  };
  const Case cases[] = {
      {"a suite missing", [](HostSuites &h) { h.Remove(Code("sele")); }},
      {"the last suite missing", [](HostSuites &h) { h.Remove(kRast); }},
      {"another version", [](HostSuites &h) { h.Record(Code("blnd"))->version = 2; }},
      {"conv at version 2", [](HostSuites &h) { h.Record(kConv)->version = 2; }},
      {"below the minimum count", [](HostSuites &h) { h.Record(Code("filt"))->count = 53; }},
      {"a table missing", [](HostSuites &h) { h.Record(Code("memo"))->table = nullptr; }},
      {"no core of version 2", [](HostSuites &h) { h.Record(kCore)->version = 1; }},
      {"no records", [](HostSuites &h) { h.SetRecordCount(0); }},
      {"a negative record count", [](HostSuites &h) { h.SetRecordCount(-1); }},
      {"records cut short", [](HostSuites &h) { h.SetRecordCount(9); }},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(StartUpWith(c.change), kResultSuiteMissing);
    EXPECT_FALSE(AnySlotReplaced());
    EXPECT_EQ(ShutDown(), kResultSuccess);
  }
}

TEST_F(Capture, ANullSuiteListIsRefused) {
  EXPECT_EQ(module->Call(kSelectStartUp, nullptr), kResultSuiteMissing);
}

TEST_F(Capture, CountsAreUnsignedAndOnlyComparedWithTheMinimum) {
  EXPECT_EQ(StartUpWith([](HostSuites &h) {
              for (const SuiteDefinition &d : kHostSuites) h.Record(d.key)->count = 0xFFFF;
            }),
            kResultSuccess);
}

TEST_F(Capture, SuitesOfferedThroughTheFindRoutineAreCaptured) {
  EXPECT_EQ(StartUpWith([](HostSuites &h) {
              h.OfferThroughFind(kRast);
              h.OfferThroughFind(kConv);
            }),
            kResultSuccess);
  EXPECT_TRUE(AnySlotReplaced());
  // The last core record of version 2 in the list serves the fallback, and
  // only with a count of at least 5.
  for (uint16_t count : {uint16_t{4}, uint16_t{5}}) {
    EXPECT_EQ(StartUpWith([count](HostSuites &h) {
                h.OfferThroughFind(kRast);
                SuiteRecord later_core = *h.Record(kCore);
                later_core.count = count;
                h.Append(later_core);
              }),
              count == 4 ? kResultSuiteMissing : kResultSuccess);
  }
}

TEST_F(Capture, ACoreOfVersionOneIsNeverUsedForTheFallback) {
  EXPECT_EQ(StartUpWith([](HostSuites &h) {
              SuiteRecord old_core = *h.Record(kCore);
              old_core.version = 1;
              h.Remove(kCore);
              h.Append(old_core);
              h.OfferThroughFind(kRast);
            }),
            kResultSuiteMissing);
}

// A suite-find routine that answers every question with the same record, of
// the painting suite's key and of version 1, whatever suite was asked for.
SuiteRecord misfiled_record;
uint8_t FindAnswersWithAnotherSuite(uint32_t, uint32_t, SuiteRecord **record) {
  *record = &misfiled_record;
  return 1;
}

TEST_F(Capture, ARecordOfAnotherSuiteFromTheFindRoutineIsRefused) {
  // Long enough for any suite, so that taking it would go unnoticed.
  static Routine long_table[200] = {};
  misfiled_record = {Code("pntg"), 1, 0xFFFF, long_table};
  EXPECT_EQ(StartUpWith([](HostSuites &h) {
              h.Remove(Code("blnd"));  // asked at version 1, as the answer is
              h.SetSlot(kCore, 5, &FindAnswersWithAnotherSuite);
            }),
            kResultSuiteMissing);
  suites->SetSlot(kCore, 5, &FindSuiteInHost);
  EXPECT_FALSE(AnySlotReplaced());
  // The same routine answering for the painting suite itself is taken.
  EXPECT_EQ(StartUpWith([](HostSuites &h) {
              misfiled_record = *h.Record(Code("pntg"));
              h.Remove(Code("pntg"));
              h.SetSlot(kCore, 5, &FindAnswersWithAnotherSuite);
            }),
            kResultSuccess);
}

int32_t SecondRast(void *, void *, int16_t, int16_t, int32_t, int32_t, int16_t, int16_t) {
  CallLog::Add(kRast, 100, {});
  return 0;
}

TEST_F(Capture, ASuiteListedTwiceIsTakenFromItsFirstRecord) {
  static Routine second_table[4] = {reinterpret_cast<Routine>(&SecondRast), nullptr, nullptr, nullptr};
  ASSERT_EQ(StartUpWith([](HostSuites &h) {
              h.SetSlot(kRast, 0, kRastRecorder);
              h.Append({kRast, 2, 3, second_table});
            }),
            kResultSuccess);
  CallLog::Clear();
  reinterpret_cast<RastCall>(suites->Table(kRast)[0])(nullptr, nullptr, 10, 0, 1, 1, 0, 1);
  const auto calls = CallLog::Take();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].slot, 0) << "the first record's routine was saved";
  EXPECT_EQ(second_table[0], reinterpret_cast<Routine>(&SecondRast)) << "the second table is not touched";
}

}  // namespace
}  // namespace lumora::testing
