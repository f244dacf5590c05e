// What the summed-result wrappers cost and gain: a pixel sum over a 4096 x
// 4096 byte plane through the installed memory-suite wrapper of slot 32,
// against a direct call and an OpenMP reduction over the same bands; and the
// dispatch alone of the narrowest summed slot against the widest painting
// slot (15 arguments, four planes), to show what a larger slice block costs.
#include <benchmark/benchmark.h>
#include <omp.h>

#include <cstdint>
#include <vector>

#include "abi/suite_capture.h"
#include "bench_pool.h"
#include "host/host_suites.h"
#include "suites/installers.h"

namespace rowfork::bench {
namespace {

constexpr int kSide = 4096;

using Summing = int32_t (*)(void *, int16_t, int16_t, int16_t);
using Painting = int32_t (*)(int16_t, int16_t, int16_t, int16_t, int16_t, int16_t, void *, void *, void *,
                             void *, int16_t, int16_t, int16_t, int16_t, int16_t);

// Memory-bound: the sum of every byte of the rows. Never inlined, so that
// every way runs the same code.
[[gnu::noinline]] int32_t SumRows(void *plane, int16_t rows, int16_t columns, int16_t stride) {
  uint32_t sum = 0;
  for (int r = 0; r < rows; ++r) {
    const auto *row = static_cast<const uint8_t *>(plane) + r * stride;
    for (int c = 0; c < columns; ++c) sum += row[c];
  }
  return static_cast<int32_t>(sum);
}

[[gnu::noinline]] int32_t EmptySum(void *, int16_t rows, int16_t, int16_t) {
  benchmark::ClobberMemory();
  return rows;
}
[[gnu::noinline]] int32_t EmptyPaint(int16_t, int16_t, int16_t, int16_t, int16_t rows, int16_t, void *,
                                     void *, void *, void *, int16_t, int16_t, int16_t, int16_t, int16_t) {
  benchmark::ClobberMemory();
  return rows;
}

// A host whose memory slot 32 and painting slot 27 hold `sum` and `paint`,
// with the module's wrappers installed over them.
struct Host {
  lumora::HostSuites suites;
  Host(Summing sum, Painting paint, int threads) {
    UsePool(threads);
    suites.SetSlot(lumora::Code("memo"), 32, sum);
    suites.SetSlot(lumora::Code("pntg"), 27, paint);
    const auto *block = static_cast<const PluginParamBlock *>(suites.Block());
    if (CaptureSuites(block) != 0) std::abort();
    InstallMemo(block);
    InstallPntg(block);
  }
  Summing Sum() { return reinterpret_cast<Summing>(suites.Table(lumora::Code("memo"))[32]); }
  Painting Paint() { return reinterpret_cast<Painting>(suites.Table(lumora::Code("pntg"))[27]); }
};

std::vector<uint8_t> &Plane() {
  static std::vector<uint8_t> plane(size_t{kSide} * kSide, 3);
  return plane;
}

enum class Way { kDirect, kWrapper, kOpenMP };

void Sum(benchmark::State &state, Way way) {
  const int threads = static_cast<int>(state.range(0));
  Host host(&SumRows, &EmptyPaint, threads);
  uint8_t *plane = Plane().data();
  const int per_band = kSide / threads;
  int32_t total = 0;
  for (auto _ : state) {
    switch (way) {
      case Way::kDirect:
        total = SumRows(plane, kSide, kSide, kSide);
        break;
      case Way::kWrapper:
        total = host.Sum()(plane, kSide, kSide, kSide);
        break;
      case Way::kOpenMP: {
        uint32_t sum = 0;
#pragma omp parallel for schedule(static) num_threads(threads) reduction(+ : sum)
        for (int band = 0; band < threads; ++band) {
          const int rows = band == threads - 1 ? kSide - band * per_band : per_band;
          sum += static_cast<uint32_t>(
              SumRows(plane + size_t(band * per_band) * kSide, static_cast<int16_t>(rows), kSide, kSide));
        }
        total = static_cast<int32_t>(sum);
        break;
      }
    }
    benchmark::DoNotOptimize(total);
  }
  if (total != 3 * kSide * kSide) state.SkipWithError("wrong sum");
  state.SetBytesProcessed(int64_t(state.iterations()) * kSide * kSide);
}

void Sum_Direct(benchmark::State &s) { Sum(s, Way::kDirect); }
void Sum_Wrapper(benchmark::State &s) { Sum(s, Way::kWrapper); }
void Sum_OpenMP(benchmark::State &s) { Sum(s, Way::kOpenMP); }
BENCHMARK(Sum_Direct)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Sum_Wrapper)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Sum_OpenMP)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);

// The dispatch alone: 64 rows of nothing, through each wrapper.
void Dispatch_Summed4Args(benchmark::State &state) {
  Host host(&EmptySum, &EmptyPaint, static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(host.Sum()(nullptr, 64, 1, 1));
}
void Dispatch_Painting15Args(benchmark::State &state) {
  Host host(&EmptySum, &EmptyPaint, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        host.Paint()(1, 2, 0, 4, 64, 6, nullptr, nullptr, nullptr, nullptr, 1, 7, 8, 9, 10));
  }
}
BENCHMARK(Dispatch_Summed4Args)->Arg(2)->UseRealTime();
BENCHMARK(Dispatch_Painting15Args)->Arg(2)->UseRealTime();

}  // namespace
}  // namespace rowfork::bench

BENCHMARK_MAIN();
