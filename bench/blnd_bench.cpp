// Two blends over 4096 x 4096 byte planes through the blending suite's own
// wrappers, as the host calls them: slot 2 (the mean of two planes into a
// third) and slot 77 (a masked mix described by a parameter record). Each is
// run directly, split by the installed wrapper, and by an OpenMP parallel for
// of the same routine over the same bands.
#include <benchmark/benchmark.h>
#include <omp.h>

#include <cstdlib>
#include <vector>

#include "bench_pool.h"
#include "host/host_suites.h"
#include "host/suites/blnd_routines.h"
#include "pool/split.h"
#include "shell/suite_capture.h"
#include "suites/installers.h"

namespace rowfork::bench {
namespace {

constexpr int kSide = 4096;
constexpr int kThreads = 2;
constexpr size_t kPlaneBytes = size_t{kSide} * kSide;

using MeanRoutine = int32_t (*)(Ptr, Ptr, Ptr, I16, I16, I16, I16, I16);
using RecordRoutine = int32_t (*)(Ptr);

struct Planes {
  std::vector<uint8_t> a = std::vector<uint8_t>(kPlaneBytes, 1);
  std::vector<uint8_t> b = std::vector<uint8_t>(kPlaneBytes, 2);
  std::vector<uint8_t> out = std::vector<uint8_t>(kPlaneBytes, 3);
};
Planes &SharedPlanes() {
  static Planes planes;
  return planes;
}

// The host's blending suite with the module's wrappers installed, the pool
// built for kThreads participants.
lumora::Routine *LiveBlnd() {
  static lumora::HostSuites *host = [] {
    auto *suites = new lumora::HostSuites;
    lumora::PutBlndRoutines(*suites);
    const auto *block = static_cast<const PluginParamBlock *>(suites->Block());
    if (CaptureSuites(block) != 0) std::abort();
    InstallBlnd(block);
    return suites;
  }();
  UsePool(kThreads);
  return host->Table(lumora::Code("blnd"));
}

lumora::BlendRecord MixRecord(Planes &p, int first, int rows) {
  const size_t offset = size_t(first) * kSide;
  lumora::BlendRecord record{};
  record.rows = static_cast<int16_t>(rows);
  record.width = kSide;
  record.plane1 = p.out.data() + offset;
  record.stride1 = kSide;
  record.opacity = 200;
  record.plane2 = p.a.data() + offset;
  record.stride2 = kSide;
  record.plane3 = p.b.data() + offset;
  record.stride3 = kSide;
  record.high = 255;
  return record;
}

int BandRows(int band) { return band == kThreads - 1 ? kSide - band * (kSide / kThreads) : kSide / kThreads; }

void MeanBand(Planes &p, int band) {
  const size_t offset = size_t(band) * (kSide / kThreads) * kSide;
  lumora::BlndMeanOfTwo(p.a.data() + offset, p.b.data() + offset, p.out.data() + offset,
                        static_cast<I16>(BandRows(band)), kSide, kSide, kSide, kSide);
}

void RecordBand(Planes &p, int band) {
  lumora::BlendRecord record = MixRecord(p, band * (kSide / kThreads), BandRows(band));
  lumora::BlndRecordBlend(&record);
}

enum class Way { kDirect, kSplit, kOpenMP };

void Mean(benchmark::State &state, Way way) {
  Planes &p = SharedPlanes();
  const auto wrapper = reinterpret_cast<MeanRoutine>(LiveBlnd()[2]);
  for (auto _ : state) {
    switch (way) {
      case Way::kDirect:
        lumora::BlndMeanOfTwo(p.a.data(), p.b.data(), p.out.data(), kSide, kSide, kSide, kSide, kSide);
        break;
      case Way::kSplit:
        wrapper(p.a.data(), p.b.data(), p.out.data(), kSide, kSide, kSide, kSide, kSide);
        break;
      case Way::kOpenMP:
#pragma omp parallel for schedule(static) num_threads(kThreads)
        for (int band = 0; band < kThreads; ++band) MeanBand(p, band);
        break;
    }
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t{kPlaneBytes} * 3);
}

void Record(benchmark::State &state, Way way) {
  Planes &p = SharedPlanes();
  const auto wrapper = reinterpret_cast<RecordRoutine>(LiveBlnd()[77]);
  for (auto _ : state) {
    lumora::BlendRecord whole = MixRecord(p, 0, kSide);
    switch (way) {
      case Way::kDirect:
        lumora::BlndRecordBlend(&whole);
        break;
      case Way::kSplit:
        wrapper(&whole);
        break;
      case Way::kOpenMP:
#pragma omp parallel for schedule(static) num_threads(kThreads)
        for (int band = 0; band < kThreads; ++band) RecordBand(p, band);
        break;
    }
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t{kPlaneBytes} * 4);
}

void Mean_Direct(benchmark::State &s) { Mean(s, Way::kDirect); }
void Mean_Split(benchmark::State &s) { Mean(s, Way::kSplit); }
void Mean_OpenMP(benchmark::State &s) { Mean(s, Way::kOpenMP); }
void Record_Direct(benchmark::State &s) { Record(s, Way::kDirect); }
void Record_Split(benchmark::State &s) { Record(s, Way::kSplit); }
void Record_OpenMP(benchmark::State &s) { Record(s, Way::kOpenMP); }
BENCHMARK(Mean_Direct)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Mean_Split)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Mean_OpenMP)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Record_Direct)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Record_Split)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Record_OpenMP)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rowfork::bench

BENCHMARK_MAIN();
