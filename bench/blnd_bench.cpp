// Two blends over 4096 x 4096 byte planes through the blending suite's own
// wrappers, as the host calls them: slot 2 (the mean of two planes into a
// third) and slot 77 (a masked mix described by a parameter record). Each is
// run directly, split by the installed wrapper, and by an OpenMP parallel for
// of the same routine over the same bands.
#include <benchmark/benchmark.h>
#include <omp.h>

#include <cstdlib>
#include <vector>

#include "abi/suite_capture.h"
#include "bench_pool.h"
#include "host/host_suites.h"
#include "host/suites/blnd_routines.h"
#include "pool/split.h"
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

// A blend with slot 2's argument list: the rounded mean of two planes into a
// third, `width` bytes of every row.
int32_t MeanOfTwo(Ptr a, Ptr b, Ptr out, I16 rows, I16 width, I16 stride_a, I16 stride_b, I16 stride_out) {
  for (int r = 0; r < rows; ++r) {
    const auto *pa = static_cast<const uint8_t *>(a) + r * stride_a;
    const auto *pb = static_cast<const uint8_t *>(b) + r * stride_b;
    auto *po = static_cast<uint8_t *>(out) + r * stride_out;
    for (int c = 0; c < width; ++c) po[c] = static_cast<uint8_t>((pa[c] + pb[c] + 1) >> 1);
  }
  return 0;
}

// The host's blending suite, with the blend above in slot 2 and the host's
// record blend in slot 77, the module's wrappers installed, and the pool
// built for kThreads participants.
lumora::Routine *LiveBlnd() {
  static lumora::HostSuites *host = [] {
    auto *suites = new lumora::HostSuites;
    lumora::PutBlndRoutines(*suites);
    suites->SetSlot(lumora::Code("blnd"), 2, &MeanOfTwo);
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

void MeanWhole(Planes &p) {
  MeanOfTwo(p.a.data(), p.b.data(), p.out.data(), kSide, kSide, kSide, kSide, kSide);
}
void MeanSplit(Planes &p, lumora::Routine *table) {
  reinterpret_cast<MeanRoutine>(table[2])(p.a.data(), p.b.data(), p.out.data(), kSide, kSide, kSide, kSide,
                                          kSide);
}
void MeanBand(Planes &p, int band) {
  const size_t offset = size_t(band) * (kSide / kThreads) * kSide;
  MeanOfTwo(p.a.data() + offset, p.b.data() + offset, p.out.data() + offset, static_cast<I16>(BandRows(band)),
            kSide, kSide, kSide, kSide);
}

void RecordWhole(Planes &p) {
  lumora::BlendRecord record = MixRecord(p, 0, kSide);
  lumora::BlndRecordBlend(&record);
}
void RecordSplit(Planes &p, lumora::Routine *table) {
  lumora::BlendRecord record = MixRecord(p, 0, kSide);
  reinterpret_cast<RecordRoutine>(table[77])(&record);
}
void RecordBand(Planes &p, int band) {
  lumora::BlendRecord record = MixRecord(p, band * (kSide / kThreads), BandRows(band));
  lumora::BlndRecordBlend(&record);
}

// One blend three ways: the routine on all rows, the installed wrapper, and
// the routine on one band (for OpenMP).
struct Blend {
  void (*whole)(Planes &);
  void (*split)(Planes &, lumora::Routine *table);
  void (*band)(Planes &, int band);
  int planes;  // planes read or written, for the byte rate
};
constexpr Blend kMean = {&MeanWhole, &MeanSplit, &MeanBand, 3};
constexpr Blend kRecord = {&RecordWhole, &RecordSplit, &RecordBand, 4};

enum class Way { kDirect, kSplit, kOpenMP };

void Measure(benchmark::State &state, const Blend &blend, Way way) {
  Planes &p = SharedPlanes();
  lumora::Routine *table = LiveBlnd();
  for (auto _ : state) {
    switch (way) {
      case Way::kDirect:
        blend.whole(p);
        break;
      case Way::kSplit:
        blend.split(p, table);
        break;
      case Way::kOpenMP:
#pragma omp parallel for schedule(static) num_threads(kThreads)
        for (int band = 0; band < kThreads; ++band) blend.band(p, band);
        break;
    }
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t{kPlaneBytes} * blend.planes);
}

void Mean_Direct(benchmark::State &s) { Measure(s, kMean, Way::kDirect); }
void Mean_Split(benchmark::State &s) { Measure(s, kMean, Way::kSplit); }
void Mean_OpenMP(benchmark::State &s) { Measure(s, kMean, Way::kOpenMP); }
void Record_Direct(benchmark::State &s) { Measure(s, kRecord, Way::kDirect); }
void Record_Split(benchmark::State &s) { Measure(s, kRecord, Way::kSplit); }
void Record_OpenMP(benchmark::State &s) { Measure(s, kRecord, Way::kOpenMP); }
BENCHMARK(Mean_Direct)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Mean_Split)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Mean_OpenMP)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Record_Direct)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Record_Split)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Record_OpenMP)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rowfork::bench

BENCHMARK_MAIN();
