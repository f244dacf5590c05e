// The filter suite's shared two-plane splitter on a working two-plane routine
// over 4096 x 4096 byte planes, through the wrapper its installer writes into
// the host's table: the host routine called directly, the wrapper splitting
// at ThreadCount 2, and an OpenMP parallel for over the rows of the same
// routine. One body is memory-bound, the other compute-heavy.
#include <benchmark/benchmark.h>
#include <omp.h>

#include <cstdlib>
#include <vector>

#include "abi/suite_capture.h"
#include "bench_pool.h"
#include "host/host_suites.h"
#include "pool/split.h"
#include "suites/installers.h"

namespace rowfork::bench {
namespace {

constexpr int kSide = 4096;
constexpr int kThreads = 2;
constexpr int kAverageSlot = 5;
constexpr int kHashSlot = 6;

using TwoPlaneRoutine = int32_t (*)(Ptr, Ptr, I16, I16, I16, I16);

// Memory-bound: B becomes the rounded mean of A and B.
int32_t Average(Ptr a, Ptr b, I16 rows, I16 width, I16 sa, I16 sb) {
  for (int r = 0; r < rows; ++r) {
    const auto *in = static_cast<const uint8_t *>(a) + r * sa;
    auto *out = static_cast<uint8_t *>(b) + r * sb;
    for (int c = 0; c < width; ++c) out[c] = static_cast<uint8_t>((in[c] + out[c] + 1) >> 1);
  }
  return 0;
}

// Compute-heavy: a chain of dependent integer rounds per pixel.
int32_t Hash(Ptr a, Ptr b, I16 rows, I16 width, I16 sa, I16 sb) {
  for (int r = 0; r < rows; ++r) {
    const auto *in = static_cast<const uint8_t *>(a) + r * sa;
    auto *out = static_cast<uint8_t *>(b) + r * sb;
    for (int c = 0; c < width; ++c) {
      uint32_t x = in[c] + 1u;
      for (int round = 0; round < 8; ++round) {
        x ^= x >> 7;
        x *= 0x9E3779B1u;
        x += static_cast<uint32_t>(round);
      }
      out[c] = static_cast<uint8_t>(x >> 24);
    }
  }
  return 0;
}

// A host whose filt slots 5 and 6 hold the two bodies, captured and wrapped
// by the module's own start-up steps, with a pool of kThreads.
struct Host {
  Host() {
    suites.SetSlot(lumora::Code("filt"), kAverageSlot, &Average);
    suites.SetSlot(lumora::Code("filt"), kHashSlot, &Hash);
    UsePool(kThreads);
    if (CaptureSuites(static_cast<const PluginParamBlock *>(suites.Block())) != 0) std::abort();
    InstallFilt(nullptr);
  }
  TwoPlaneRoutine Wrapper(int slot) {
    return reinterpret_cast<TwoPlaneRoutine>(suites.Table(lumora::Code("filt"))[slot]);
  }
  lumora::HostSuites suites;
  std::vector<uint8_t> a = std::vector<uint8_t>(size_t{kSide} * kSide, 1);
  std::vector<uint8_t> b = std::vector<uint8_t>(size_t{kSide} * kSide, 2);
};
Host &TheHost() {
  static Host host;
  return host;
}

enum class Way { kDirect, kSplit, kOpenMP };

void Measure(benchmark::State &state, TwoPlaneRoutine body, int slot, Way way) {
  Host &host = TheHost();
  uint8_t *a = host.a.data();
  uint8_t *b = host.b.data();
  const TwoPlaneRoutine wrapper = host.Wrapper(slot);
  for (auto _ : state) {
    switch (way) {
      case Way::kDirect:
        body(a, b, kSide, kSide, kSide, kSide);
        break;
      case Way::kSplit:
        wrapper(a, b, kSide, kSide, kSide, kSide);
        break;
      case Way::kOpenMP:
#pragma omp parallel for schedule(static) num_threads(kThreads)
        for (int r = 0; r < kSide; ++r) body(a + r * kSide, b + r * kSide, 1, kSide, kSide, kSide);
        break;
    }
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kSide * kSide);
}

void Average_Direct(benchmark::State &s) { Measure(s, &Average, kAverageSlot, Way::kDirect); }
void Average_Split(benchmark::State &s) { Measure(s, &Average, kAverageSlot, Way::kSplit); }
void Average_OpenMP(benchmark::State &s) { Measure(s, &Average, kAverageSlot, Way::kOpenMP); }
void Hash_Direct(benchmark::State &s) { Measure(s, &Hash, kHashSlot, Way::kDirect); }
void Hash_Split(benchmark::State &s) { Measure(s, &Hash, kHashSlot, Way::kSplit); }
void Hash_OpenMP(benchmark::State &s) { Measure(s, &Hash, kHashSlot, Way::kOpenMP); }
BENCHMARK(Average_Direct)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Average_Split)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Average_OpenMP)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Hash_Direct)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Hash_Split)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Hash_OpenMP)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rowfork::bench

BENCHMARK_MAIN();
