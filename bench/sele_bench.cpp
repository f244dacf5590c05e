// Six histograms of a 4096 x 4096 picture with a mask, in one run: the
// host's plain loop and the tests' reference (both one thread), the module's
// own counting on one thread, and slot 2 split across the pool.
//
// Two pictures: one like a photograph (smooth areas, so that neighbouring
// pixels often share their bins, and a soft-edged mask) and one of noise
// (every bin equally likely, the mask on at random).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "bench_pool.h"
#include "histogram_reference.h"
#include "host/host_suites.h"
#include "host/suites/sele_routines.h"
#include "kernels/histogram_split.h"
#include "unit/installed_wrapper.h"

namespace rowfork::bench {
namespace {

constexpr int kSide = 4096;
constexpr int kThreshold = 128;

using HostCount = int32_t (*)(Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16);
using NameTable = int32_t (*)(Ptr);

struct Picture {
  explicit Picture(bool noise) {
    std::mt19937 random(1);
    const size_t pixels = size_t{kSide} * kSide;
    for (auto *plane : {&a, &b, &c, &w, &mask}) plane->resize(pixels);
    for (int y = 0; y < kSide; ++y) {
      for (int x = 0; x < kSide; ++x) {
        const size_t i = size_t(y) * kSide + size_t(x);
        if (noise) {
          for (auto *plane : {&a, &b, &c, &w, &mask}) (*plane)[i] = static_cast<uint8_t>(random());
          continue;
        }
        const int grain = static_cast<int>(random() % 5) - 2;
        a[i] = static_cast<uint8_t>(x / 16 + y / 32);
        b[i] = static_cast<uint8_t>((x / 8) ^ (y / 64));
        c[i] = static_cast<uint8_t>(128 + grain);
        w[i] = static_cast<uint8_t>(255 - y / 128);
        const int dx = x - kSide / 2, dy = y - kSide / 2, radius = 1800;
        const int d = dx * dx + dy * dy;
        mask[i] = static_cast<uint8_t>(d < radius * radius ? 255 - d / (radius * radius / 200) : 0);
      }
    }
  }
  std::vector<uint8_t> a, b, c, w, mask;
};

Picture &PictureOf(const benchmark::State &state) {
  static Picture photograph(false), noise(true);
  return state.range(0) == 0 ? photograph : noise;
}

HistogramBand Whole(Picture &p, uint32_t *table) {
  return {p.a.data(), p.b.data(), p.c.data(), p.w.data(), p.mask.data(), kSide,
          kSide,      kSide,      kSide,      kThreshold, table};
}

void Finish(benchmark::State &state, const std::vector<uint32_t> &table) {
  benchmark::DoNotOptimize(table.data());
  state.SetItemsProcessed(int64_t(state.iterations()) * kSide * kSide);
  state.SetLabel(state.range(0) == 0 ? "photograph" : "noise");
}

void Host_OneThread(benchmark::State &state) {
  Picture &p = PictureOf(state);
  lumora::HostSuites host;
  lumora::PutSeleRoutines(host);
  std::vector<uint32_t> table(kHistogramCounters);
  reinterpret_cast<NameTable>(host.Table(lumora::Code("sele"))[0])(table.data());
  const auto count = reinterpret_cast<HostCount>(host.Table(lumora::Code("sele"))[2]);
  for (auto _ : state) {
    count(p.a.data(), p.b.data(), p.c.data(), p.w.data(), p.mask.data(), kSide, kSide, kSide, kSide,
          kThreshold);
  }
  Finish(state, table);
}

void Reference_OneThread(benchmark::State &state) {
  Picture &p = PictureOf(state);
  std::vector<uint32_t> table(kHistogramCounters);
  for (auto _ : state) {
    histogram_reference::AddCounts({p.a.data(), p.b.data(), p.c.data(), p.w.data(), p.mask.data(), kSide,
                                    kSide, kSide, kSide, kThreshold},
                                   table);
  }
  Finish(state, table);
}

void Own_OneThread(benchmark::State &state) {
  Picture &p = PictureOf(state);
  std::vector<uint32_t> table(kHistogramCounters);
  for (auto _ : state) CountHistograms(Whole(p, table.data()));
  Finish(state, table);
}

// Slot 2's wrapper with a pool of two: the host's slot-0 routine stands in
// the saved slot, as after start-up.
void Own_Split(benchmark::State &state) {
  Picture &p = PictureOf(state);
  UsePool(2);
  lumora::HostSuites host;
  lumora::PutSeleRoutines(host);
  for (int slot : {0, 2}) {
    SavedProcs[SavedOffset(Suite::sele) + slot] =
        reinterpret_cast<GenericRoutine>(host.Table(lumora::Code("sele"))[slot]);
  }
  std::vector<uint32_t> table(kHistogramCounters);
  RecordHistogramTable(table.data());
  const auto count = reinterpret_cast<int32_t (*)(Ptr, Ptr, Ptr, Ptr, Ptr, I16, I16, I16, I16, I16)>(
      testing::InstalledWrapper(Suite::sele, 2));
  for (auto _ : state) {
    count(p.a.data(), p.b.data(), p.c.data(), p.w.data(), p.mask.data(), kSide, kSide, kSide, kSide,
          kThreshold);
  }
  Finish(state, table);
}

// The fastest repetition too: on a shared machine it is the one least
// disturbed by other work.
double Fastest(const std::vector<double> &v) { return *std::min_element(v.begin(), v.end()); }

// Both pictures, timed as a host would see them.
void BothPictures(benchmark::internal::Benchmark *b) {
  b->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);
}

BENCHMARK(Host_OneThread)->Apply(BothPictures);
BENCHMARK(Reference_OneThread)->Apply(BothPictures);
BENCHMARK(Own_OneThread)->Apply(BothPictures);
BENCHMARK(Own_Split)->Apply(BothPictures);

}  // namespace
}  // namespace rowfork::bench

BENCHMARK_MAIN();
