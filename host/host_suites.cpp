#include "host/host_suites.h"

#include <cstring>
#include <utility>

#include "host/call_log.h"

namespace lumora {
namespace {

HostSuites *current_suites = nullptr;

template <int S, int N>
int32_t Untouched() {
  CallLog::Add(kHostSuites[S].key, N, {});
  return kUntouchedResult;
}

template <int S, size_t... N>
void FillUntouched(Routine *table, std::index_sequence<N...>) {
  ((table[N] = reinterpret_cast<Routine>(&Untouched<S, static_cast<int>(N)>)), ...);
}

template <size_t... S>
void FillAll(std::vector<std::unique_ptr<Routine[]>> &tables, std::index_sequence<S...>) {
  (FillUntouched<static_cast<int>(S)>(
       tables[S].get(), std::make_index_sequence<static_cast<size_t>(kHostSuites[S].entries)>()),
   ...);
}

}  // namespace

HostSuites::HostSuites() {
  for (const SuiteDefinition &suite : kHostSuites) {
    tables_.push_back(std::make_unique<Routine[]>(static_cast<size_t>(suite.entries)));
    records_.push_back({suite.key, suite.version, suite.count, tables_.back().get()});
  }
  FillAll(tables_, std::make_index_sequence<10>());
  Table(Code("core"))[5] = reinterpret_cast<Routine>(&FindSuiteInHost);
}

HostSuites::~HostSuites() {
  if (current_suites == this) current_suites = nullptr;
}

void *HostSuites::Block() {
  const ParamBlockHeader header{0, count_set_ ? record_count_ : static_cast<int32_t>(records_.size())};
  block_.assign(sizeof(header) + records_.size() * sizeof(SuiteRecord), 0);
  std::memcpy(block_.data(), &header, sizeof(header));
  if (!records_.empty()) {
    std::memcpy(block_.data() + sizeof(header), records_.data(), records_.size() * sizeof(SuiteRecord));
  }
  current_suites = this;
  return block_.data();
}

SuiteRecord *HostSuites::Record(uint32_t key) {
  for (SuiteRecord &record : records_) {
    if (record.key == key) return &record;
  }
  for (SuiteRecord &record : offered_) {
    if (record.key == key) return &record;
  }
  return nullptr;
}

Routine *HostSuites::Table(uint32_t key) {
  for (size_t i = 0; i < 10; ++i) {
    if (kHostSuites[i].key == key) return tables_[i].get();
  }
  return nullptr;
}

void HostSuites::Remove(uint32_t key) {
  std::erase_if(records_, [key](const SuiteRecord &record) { return record.key == key; });
}

void HostSuites::Append(const SuiteRecord &record) { records_.push_back(record); }

void HostSuites::OfferThroughFind(uint32_t key) {
  for (const SuiteRecord &record : records_) {
    if (record.key == key) offered_.push_back(record);
  }
  Remove(key);
}

void HostSuites::SetRecordCount(int32_t count) {
  count_set_ = true;
  record_count_ = count;
}

uint8_t FindSuiteInHost(uint32_t kind, uint32_t key, SuiteRecord **record) {
  if (kind != Code("LMRX") || current_suites == nullptr) return 0;
  for (SuiteRecord &offered : current_suites->offered_) {
    if (offered.key == key) {
      *record = &offered;
      return 1;
    }
  }
  return 0;
}

}  // namespace lumora
