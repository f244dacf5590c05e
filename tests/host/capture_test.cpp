// Finding and checking the ten suites at start-up: which suite lists start
// the module and which are refused with -30900, changing no table; and which
// slots a start-up replaces.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "host/host_fixture.h"
#include "host/rows/blnd_rows.h"
#include "host/rows/disp_rows.h"
#include "host/rows/filt_rows.h"
#include "host/rows/memo_rows.h"
#include "host/rows/pntg_rows.h"
#include "host/rows/rast_rows.h"
#include "host/rows/rsmp_rows.h"
#include "host/rows/sele_rows.h"

namespace lumora::testing {
namespace {

constexpr uint32_t kCore = Code("core");
constexpr uint32_t kConv = Code("conv");

using Change = std::function<void(HostSuites &)>;

class Capture : public ModuleTest {
 protected:
  // Starts the module on the host's list as `change` leaves it.
  int16_t StartUpWith(const Change &change) {
    Reload();
    change(*suites);
    return StartUp();
  }
  // The slots of each suite whose routine is no longer the host's.
  std::map<uint32_t, std::vector<int>> Replaced() {
    std::map<uint32_t, std::vector<int>> replaced;
    for (const SuiteDefinition &definition : kHostSuites) {
      std::vector<int> &slots = replaced[definition.key];
      for (int slot = 0; slot < definition.entries; ++slot) {
        if (suites->Table(definition.key)[slot] != pristine_.Table(definition.key)[slot])
          slots.push_back(slot);
      }
    }
    return replaced;
  }
  bool AnySlotReplaced() {
    const auto replaced = Replaced();
    return std::any_of(replaced.begin(), replaced.end(), [](const auto &suite) { return !suite.second.empty(); });
  }

 private:
  HostSuites pristine_;  // every untouched routine, for comparison
};

// Every described row's slots, the record routines and the slots that do
// more than split, and nothing else; the conversion table stays as it was.
TEST_F(Capture, StartUpReplacesTheDescribedSlotsAndNoOthers) {
  std::map<uint32_t, std::vector<int>> expected = {
      {kCore, {1, 3, 11}}, {kFilt, {0, 11, 38, 41}}, {kSele, {0, 2}}, {kRsmp, {4}}, {kConv, {}}};
  for (std::span<const TableRow> rows : std::initializer_list<std::span<const TableRow>>{
           kFiltRows, kMemoRows, kPntgRows, kSeleRows, kBlndRows, kRsmpRows, kDispRows, kRastRows}) {
    for (const TableRow &row : rows) {
      expected[row.suite].insert(expected[row.suite].end(), row.slots.begin(), row.slots.end());
    }
  }
  expected[kBlnd].insert(expected[kBlnd].end(), std::begin(kBlndRecordSlots), std::end(kBlndRecordSlots));
  expected[kBlnd].insert(expected[kBlnd].end(), std::begin(kBlndRecord16Slots), std::end(kBlndRecord16Slots));
  for (auto &[key, slots] : expected) std::sort(slots.begin(), slots.end());
  ASSERT_EQ(StartUp(), kResultSuccess);
  EXPECT_EQ(Replaced(), expected);
}

// A later core record of version `version` and this count, with the raster
// suite offered through the find routine, which the last such record serves.
void FindWithLaterCore(HostSuites &h, int16_t version, uint16_t count) {
  SuiteRecord later_core = *h.Record(kCore);
  later_core.version = version, later_core.count = count;
  if (version != 2) h.Remove(kCore);
  h.Append(later_core);
  h.OfferThroughFind(kRast);
}

TEST_F(Capture, AcceptedListsStartTheModule) {
  const std::pair<const char *, Change> cases[] = {
      {"the standard list", [](HostSuites &) {}},
      {"counts at their most (unsigned, compared with the minimum only)",
       [](HostSuites &h) {
         for (const SuiteDefinition &d : kHostSuites) h.Record(d.key)->count = 0xFFFF;
       }},
      {"suites offered through the find routine",
       [](HostSuites &h) { h.OfferThroughFind(kRast), h.OfferThroughFind(kConv); }},
      {"the find routine's core of count 5", [](HostSuites &h) { FindWithLaterCore(h, 2, 5); }},
  };
  for (const auto &[what, change] : cases) {
    EXPECT_EQ(StartUpWith(change), kResultSuccess) << what;
    EXPECT_TRUE(AnySlotReplaced()) << what;
  }
}

TEST_F(Capture, RefusedListsChangeNoTable) {
  const std::pair<const char *, Change> cases[] = {
      {"a suite missing", [](HostSuites &h) { h.Remove(kSele); }},
      {"the last suite missing", [](HostSuites &h) { h.Remove(kRast); }},
      {"another version", [](HostSuites &h) { h.Record(kBlnd)->version = 2; }},
      {"conv at version 2", [](HostSuites &h) { h.Record(kConv)->version = 2; }},
      {"below the minimum count", [](HostSuites &h) { h.Record(kFilt)->count = 53; }},
      {"a table missing", [](HostSuites &h) { h.Record(kMemo)->table = nullptr; }},
      {"no core of version 2", [](HostSuites &h) { h.Record(kCore)->version = 1; }},
      {"no records", [](HostSuites &h) { h.SetRecordCount(0); }},
      {"a negative record count", [](HostSuites &h) { h.SetRecordCount(-1); }},
      {"records cut short", [](HostSuites &h) { h.SetRecordCount(9); }},
      {"the find routine's core of count 4", [](HostSuites &h) { FindWithLaterCore(h, 2, 4); }},
      {"only a core of version 1 for the find routine", [](HostSuites &h) { FindWithLaterCore(h, 1, 11); }},
  };
  for (const auto &[what, change] : cases) {
    EXPECT_EQ(StartUpWith(change), kResultSuiteMissing) << what;
    EXPECT_FALSE(AnySlotReplaced()) << what;
    EXPECT_EQ(ShutDown(), kResultSuccess);
  }
  EXPECT_EQ(module->Call(kSelectStartUp, nullptr), kResultSuiteMissing) << "no suite list at all";
}

// A suite-find routine that answers every question with the same record,
// whatever suite was asked for.
SuiteRecord misfiled_record;
uint8_t FindAnswersWithOneRecord(uint32_t, uint32_t, SuiteRecord **record) {
  *record = &misfiled_record;
  return 1;
}

TEST_F(Capture, ARecordOfAnotherSuiteFromTheFindRoutineIsRefused) {
  // The painting suite's key at version 1, long enough for any suite, so that
  // taking it for the blending suite (asked at version 1 too) would go unnoticed.
  static Routine long_table[200] = {};
  misfiled_record = {kPntg, 1, 0xFFFF, long_table};
  EXPECT_EQ(StartUpWith([](HostSuites &h) {
              h.Remove(kBlnd);
              h.SetSlot(kCore, 5, &FindAnswersWithOneRecord);
            }),
            kResultSuiteMissing);
  suites->SetSlot(kCore, 5, &FindSuiteInHost);
  EXPECT_FALSE(AnySlotReplaced());
  // The same routine answering for the painting suite itself is taken.
  EXPECT_EQ(StartUpWith([](HostSuites &h) {
              misfiled_record = *h.Record(kPntg);
              h.Remove(kPntg);
              h.SetSlot(kCore, 5, &FindAnswersWithOneRecord);
            }),
            kResultSuccess);
}

int32_t SecondRast(Ptr, Ptr, I16, I16, I32, I32, I16, I16) {
  CallLog::Add(kRast, 100, {});
  return 0;
}

TEST_F(Capture, ASuiteListedTwiceIsTakenFromItsFirstRecord) {
  static Routine second_table[4] = {reinterpret_cast<Routine>(&SecondRast), nullptr, nullptr, nullptr};
  ASSERT_EQ(StartUpWith([](HostSuites &h) {
              h.SetSlot(kRast, 0, &RecordingRoutine<kRast, 0, 0, Ptr, Ptr, I16, I16, I32, I32, I16, I16>);
              h.Append({kRast, 2, 3, second_table});
            }),
            kResultSuccess);
  CallLog::Clear();
  kRastRows[0].call(suites->Table(kRast)[0], {0, 0, 10, 0, 1, 1, 0, 1});
  const auto calls = CallLog::Take();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].slot, 0) << "the first record's routine was saved";
  EXPECT_EQ(second_table[0], reinterpret_cast<Routine>(&SecondRast)) << "the second table is not touched";
}

}  // namespace
}  // namespace lumora::testing
