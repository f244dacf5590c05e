// Suite lists of every shape (record counts of any sign, keys the module asks
// for and others, versions, counts of any size, null tables, a find routine
// that answers with any record or none) handed to the capture: the result is
// 0 or -30900 and nothing is read out of bounds. Each table is as long as its
// own suite's table is known to be. On success every suite's saved routines
// are the first entries of a table of that suite.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "abi/result_codes.h"
#include "abi/suite_capture.h"
#include "fuzz/fuzz_input.h"

namespace rowfork::fuzz {
namespace {

void Untouched() {}

// A table as long as the suite of its key is known to hold, or as its
// count says when that is more (or when the key is none of the ten).
std::unique_ptr<GenericRoutine[]> MakeTable(uint32_t key, uint16_t count) {
  size_t entries = count;
  for (const SuiteTerms &terms : kSuiteTerms) {
    if (terms.key == key && terms.entries_copied > entries) entries = terms.entries_copied;
  }
  auto table = std::make_unique<GenericRoutine[]>(entries == 0 ? 1 : entries);
  for (size_t i = 0; i < entries; ++i) table[i] = &Untouched;
  return table;
}

// What the host's find routine answers with, for the current input.
struct FindAnswer {
  uint8_t result = 0;
  SuiteRecord *record = nullptr;
};
FindAnswer find_answer;

uint8_t FuzzFind(uint32_t, uint32_t, SuiteRecord **record) {
  *record = find_answer.record;
  return find_answer.result;
}

uint32_t TakeKey(FuzzInput &in) {
  const uint32_t choice = in.Below(12);
  return choice < 10 ? kSuiteTerms[choice].key : in.Take<uint32_t>();
}

int16_t TakeVersion(FuzzInput &in, uint32_t key) {
  int16_t asked = 0;
  for (const SuiteTerms &terms : kSuiteTerms) {
    if (terms.key == key) asked = terms.version;
  }
  switch (in.Below(4)) {
    case 0:
    case 1:
      return asked;
    case 2:
      return static_cast<int16_t>(asked + 1);
    default:
      return in.Take<int16_t>();
  }
}

uint16_t TakeCount(FuzzInput &in, uint32_t key) {
  uint16_t minimum = 5;
  for (const SuiteTerms &terms : kSuiteTerms) {
    if (terms.key == key) minimum = terms.minimum_count;
  }
  switch (in.Below(4)) {
    case 0:
      return minimum;
    case 1:
      return static_cast<uint16_t>(minimum - 1);
    case 2:
      return 0xFFFF;
    default:
      return in.Take<uint16_t>();
  }
}

struct Built {
  std::vector<std::unique_ptr<GenericRoutine[]>> tables;
  std::vector<unsigned char> block;
  SuiteRecord answer{};
};

SuiteRecord TakeRecord(FuzzInput &in, Built &built) {
  SuiteRecord record{};
  record.key = TakeKey(in);
  record.version = TakeVersion(in, record.key);
  record.count = TakeCount(in, record.key);
  if (in.Below(8) != 0) {
    built.tables.push_back(MakeTable(record.key, record.count));
    record.table = built.tables.back().get();
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
  Built built;
  const uint32_t records = in.Below(24);
  const int32_t count_field =
      in.Below(4) == 0 ? -static_cast<int32_t>(in.Below(0x80000000u)) : static_cast<int32_t>(records);
  std::vector<SuiteRecord> list;
  for (uint32_t i = 0; i < records; ++i) list.push_back(TakeRecord(in, built));
  built.answer = TakeRecord(in, built);
  find_answer = {static_cast<uint8_t>(in.Below(3)), in.Below(4) == 0 ? nullptr : &built.answer};

  // The block exactly as long as its records, so a read past them is caught.
  built.block.resize(8 + list.size() * sizeof(SuiteRecord));
  const uint32_t unused = 0;
  std::memcpy(built.block.data(), &unused, 4);
  std::memcpy(built.block.data() + 4, &count_field, 4);
  if (!list.empty()) std::memcpy(built.block.data() + 8, list.data(), list.size() * sizeof(SuiteRecord));
  const auto *block = reinterpret_cast<const PluginParamBlock *>(built.block.data());

  const int16_t result = CaptureSuites(block);
  if (result != kSuccess && result != kSuiteMissing) std::abort();
  if (result != kSuccess) return 0;
  list.push_back(built.answer);
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
