// Suite lists of every shape (record counts of any sign, keys the module asks
// for and others, versions, counts of any size, null tables, a find routine
// that answers with any record or none) handed to the capture: the result is
// 0 or -30900 and nothing is read out of bounds. Each table is as long as its
// own suite's table is known to be. On success every suite's saved routines
// are the first entries of a table of that suite.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <vector>

#include "abi/result_codes.h"
#include "abi/suite_capture.h"
#include "fuzz/fuzz_input.h"

namespace rowfork::fuzz {
namespace {

void Untouched() {}

// The terms of the suite of `key`; for a key of none of the ten, no version
// or entries, and a minimum count of 5.
SuiteTerms TermsFor(uint32_t key) {
  const auto *terms = std::find_if(std::begin(kSuiteTerms), std::end(kSuiteTerms),
                                   [key](const SuiteTerms &t) { return t.key == key; });
  return terms != std::end(kSuiteTerms) ? *terms : SuiteTerms{key, 0, 5, 0};
}

// What the host's find routine answers with, for the current input.
uint8_t find_result;
SuiteRecord *find_record;

uint8_t FuzzFind(uint32_t, uint32_t, SuiteRecord **record) {
  *record = find_record;
  return find_result;
}

using Tables = std::vector<std::unique_ptr<GenericRoutine[]>>;

// A record of a key of the ten or any other, at the version asked for, one
// more or any, with a count at the minimum, one less, the most or any, and a
// table (one in eight has none) as long as its suite's or its count says.
SuiteRecord TakeRecord(FuzzInput &in, Tables &tables) {
  SuiteRecord record{};
  const uint32_t key_choice = in.Below(12);
  record.key = key_choice < 10 ? kSuiteTerms[key_choice].key : in.Take<uint32_t>();
  const SuiteTerms terms = TermsFor(record.key);
  const uint32_t version_choice = in.Below(4);
  record.version = version_choice < 2    ? terms.version
                   : version_choice == 2 ? static_cast<int16_t>(terms.version + 1)
                                         : in.Take<int16_t>();
  const uint16_t counts[] = {terms.minimum_count, static_cast<uint16_t>(terms.minimum_count - 1), 0xFFFF};
  const uint32_t count_choice = in.Below(4);
  record.count = count_choice < 3 ? counts[count_choice] : in.Take<uint16_t>();
  if (in.Below(8) != 0) {
    const size_t entries = std::max<size_t>(record.count, terms.entries_copied);
    tables.push_back(std::make_unique<GenericRoutine[]>(entries == 0 ? 1 : entries));
    record.table = tables.back().get();
    for (size_t i = 0; i < entries; ++i) record.table[i] = &Untouched;
    // A core table's slot 5 is the host's find routine, or empty.
    if (record.key == FourCC("core")) {
      record.table[5] = in.Below(8) == 0 ? nullptr : reinterpret_cast<GenericRoutine>(&FuzzFind);
    }
  }
  return record;
}

}  // namespace
}  // namespace rowfork::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace rowfork;
  using namespace rowfork::fuzz;
  FuzzInput in(data, size);
  Tables tables;
  const uint32_t records = in.Below(24);
  const int32_t count_field =
      in.Below(4) == 0 ? -static_cast<int32_t>(in.Below(0x80000000u)) : static_cast<int32_t>(records);
  std::vector<SuiteRecord> list;
  for (uint32_t i = 0; i < records; ++i) list.push_back(TakeRecord(in, tables));
  SuiteRecord answer = TakeRecord(in, tables);
  find_result = static_cast<uint8_t>(in.Below(3));
  find_record = in.Below(4) == 0 ? nullptr : &answer;

  // The block (an unused word, the count, the records) exactly as long as
  // its records, so a read past them is caught.
  std::vector<unsigned char> block(8 + list.size() * sizeof(SuiteRecord));
  std::memcpy(block.data() + 4, &count_field, 4);
  if (!list.empty()) std::memcpy(block.data() + 8, list.data(), list.size() * sizeof(SuiteRecord));

  const int16_t result = CaptureSuites(reinterpret_cast<const PluginParamBlock *>(block.data()));
  if (result != kSuccess && result != kSuiteMissing) std::abort();
  if (result != kSuccess) return 0;
  list.push_back(answer);
  for (int s = 0; s < kSuiteCount; ++s) {
    const auto suite = static_cast<Suite>(s);
    const SuiteTerms &terms = kSuiteTerms[s];
    // The table taken is that of a record of the suite's key and version
    // with at least its minimum count.
    bool from_a_fitting_record = false;
    for (const SuiteRecord &record : list) {
      from_a_fitting_record |= record.table == LiveTable(suite) && record.key == terms.key &&
                               record.version == terms.version && record.count >= terms.minimum_count;
    }
    if (!from_a_fitting_record) std::abort();
    for (int slot = 0; slot < terms.entries_copied; ++slot) {
      if (SavedRoutine(suite, slot) != LiveTable(suite)[slot]) std::abort();
    }
  }
  return 0;
}
