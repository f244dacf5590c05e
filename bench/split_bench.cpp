// What a split costs and gains: an empty routine (the dispatch alone), a
// memory-bound blend of two 4096 x 4096 byte planes into a third, and a
// compute-bound routine, each run directly, split by the module's pool, and
// over the same bands by OpenMP and by oneTBB with a static partitioner.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <omp.h>
#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>
#include <tbb/partitioner.h>
#include <tbb/task_arena.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "bench_pool.h"
#include "pool/split.h"

namespace rowfork::bench {
namespace {

using Body = int32_t (*)(Ptr, Ptr, Ptr, I16, I16, I16, I16, I16);
using ThreePlanes =
    RowSplit<int32_t(Ptr, Ptr, Ptr, I16, I16, I16, I16, I16), Rows<4>, Plane<1, 6>, Plane<2, 7>, Plane<3, 8>>;

[[gnu::noinline]] int32_t Empty(Ptr, Ptr, Ptr, I16 rows, I16, I16, I16, I16) {
  benchmark::ClobberMemory();
  return rows;
}

// Memory-bound: one pass over two source planes into a third.
int32_t Blend(Ptr a, Ptr b, Ptr out, I16 rows, I16 columns, I16 stride_a, I16 stride_b, I16 stride_out) {
  for (int r = 0; r < rows; ++r) {
    const auto *pa = static_cast<const uint8_t *>(a) + r * stride_a;
    const auto *pb = static_cast<const uint8_t *>(b) + r * stride_b;
    auto *po = static_cast<uint8_t *>(out) + r * stride_out;
    for (int c = 0; c < columns; ++c) po[c] = static_cast<uint8_t>((pa[c] * 3 + pb[c] * 5) >> 3);
  }
  return 0;
}

// Compute-bound: many dependent integer rounds per pixel.
int32_t Churn(Ptr a, Ptr, Ptr out, I16 rows, I16 columns, I16 stride_a, I16, I16 stride_out) {
  for (int r = 0; r < rows; ++r) {
    const auto *pa = static_cast<const uint8_t *>(a) + r * stride_a;
    auto *po = static_cast<uint8_t *>(out) + r * stride_out;
    for (int c = 0; c < columns; ++c) {
      uint32_t x = pa[c] + 1u;
      for (int round = 0; round < 24; ++round) {
        x ^= x >> 7;
        x *= 0x9E3779B1u;
        x += static_cast<uint32_t>(round);
      }
      po[c] = static_cast<uint8_t>(x >> 24);
    }
  }
  return 0;
}

constexpr int kSide = 4096;
constexpr int kChurnRows = 1024;

struct Planes {
  std::vector<uint8_t> a = std::vector<uint8_t>(size_t{kSide} * kSide, 1);
  std::vector<uint8_t> b = std::vector<uint8_t>(size_t{kSide} * kSide, 2);
  std::vector<uint8_t> out = std::vector<uint8_t>(size_t{kSide} * kSide, 0);
};
Planes &SharedPlanes() {
  static Planes planes;
  return planes;
}

// Rows [first, first + count) of the work, by any mechanism.
void RunBand(Body body, Planes &p, int first, int count, int columns) {
  const size_t offset = size_t(first) * kSide;
  body(p.a.data() + offset, p.b.data() + offset, p.out.data() + offset, static_cast<I16>(count),
       static_cast<I16>(columns), kSide, kSide, kSide);
}

enum class Way { kDirect, kSplit, kOpenMP, kTbb };

void Measure(benchmark::State &state, Body body, int rows, int columns, Way way) {
  const int threads = static_cast<int>(state.range(0));
  Planes &p = SharedPlanes();
  UsePool(threads);
  tbb::task_arena arena(threads);
  const int per_band = rows / threads;
  for (auto _ : state) {
    switch (way) {
      case Way::kDirect:
        RunBand(body, p, 0, rows, columns);
        break;
      case Way::kSplit:
        ThreePlanes::Run(body, p.a.data(), p.b.data(), p.out.data(), static_cast<I16>(rows),
                         static_cast<I16>(columns), kSide, kSide, kSide);
        break;
      case Way::kOpenMP:
#pragma omp parallel for schedule(static) num_threads(threads)
        for (int band = 0; band < threads; ++band) {
          RunBand(body, p, band * per_band, band == threads - 1 ? rows - band * per_band : per_band, columns);
        }
        break;
      case Way::kTbb:
        arena.execute([&] {
          tbb::parallel_for(
              tbb::blocked_range<int>(0, threads, 1),
              [&](const tbb::blocked_range<int> &bands) {
                for (int band = bands.begin(); band != bands.end(); ++band) {
                  RunBand(body, p, band * per_band, band == threads - 1 ? rows - band * per_band : per_band,
                          columns);
                }
              },
              tbb::static_partitioner());
        });
        break;
    }
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * rows * columns * (body == &Blend ? 3 : 2));
}

void Empty_Direct(benchmark::State &s) { Measure(s, &Empty, 64, 1, Way::kDirect); }
void Empty_Split(benchmark::State &s) { Measure(s, &Empty, 64, 1, Way::kSplit); }
void Empty_OpenMP(benchmark::State &s) { Measure(s, &Empty, 64, 1, Way::kOpenMP); }
void Empty_Tbb(benchmark::State &s) { Measure(s, &Empty, 64, 1, Way::kTbb); }
BENCHMARK(Empty_Direct)->Arg(2)->UseRealTime();
BENCHMARK(Empty_Split)->Arg(2)->Arg(4)->Arg(8)->UseRealTime();
BENCHMARK(Empty_OpenMP)->Arg(2)->Arg(4)->Arg(8)->UseRealTime();
BENCHMARK(Empty_Tbb)->Arg(2)->Arg(4)->Arg(8)->UseRealTime();

void Blend_Direct(benchmark::State &s) { Measure(s, &Blend, kSide, kSide, Way::kDirect); }
void Blend_Split(benchmark::State &s) { Measure(s, &Blend, kSide, kSide, Way::kSplit); }
void Blend_OpenMP(benchmark::State &s) { Measure(s, &Blend, kSide, kSide, Way::kOpenMP); }
void Blend_Tbb(benchmark::State &s) { Measure(s, &Blend, kSide, kSide, Way::kTbb); }
BENCHMARK(Blend_Direct)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Blend_Split)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Blend_OpenMP)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Blend_Tbb)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);

void Churn_Direct(benchmark::State &s) { Measure(s, &Churn, kChurnRows, kSide, Way::kDirect); }
void Churn_Split(benchmark::State &s) { Measure(s, &Churn, kChurnRows, kSide, Way::kSplit); }
void Churn_OpenMP(benchmark::State &s) { Measure(s, &Churn, kChurnRows, kSide, Way::kOpenMP); }
void Churn_Tbb(benchmark::State &s) { Measure(s, &Churn, kChurnRows, kSide, Way::kTbb); }
BENCHMARK(Churn_Direct)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Churn_Split)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Churn_OpenMP)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Churn_Tbb)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);

double ProcessCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Threads of the process other than the caller that are running or runnable.
int OtherThreadsRunning() {
  int running = 0;
  DIR *tasks = opendir("/proc/self/task");
  while (const dirent *task = readdir(tasks)) {
    if (task->d_name[0] == '.' || std::atoi(task->d_name) == gettid()) continue;
    std::ifstream stat(std::string("/proc/self/task/") + task->d_name + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t state = text.rfind(')') + 2;
    if (state < text.size() && text[state] == 'R') ++running;
  }
  closedir(tasks);
  return running;
}

// An idle host burns no processor. After a burst of splits the host's thread
// sleeps 1 ms, looks whether any worker still runs, and sleeps 9 ms more; the
// counters give the share of bursts after which a worker still ran at 1 ms,
// and the processor time of the whole process in each window. (The kernel
// books a running thread's time late, so the first window also holds some of
// the burst itself; the second shows what an idle host costs.)
void Idle_AfterBurst(benchmark::State &state) {
  Planes &p = SharedPlanes();
  UsePool(static_cast<int>(state.range(0)));
  double first_ms = 0;
  double next_9ms = 0;
  int still_running = 0;
  for (auto _ : state) {
    for (int i = 0; i < 2000; ++i) {
      ThreePlanes::Run(&Empty, p.a.data(), p.b.data(), p.out.data(), 64, 1, kSide, kSide, kSide);
    }
    const double start = ProcessCpuSeconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    still_running += OtherThreadsRunning() > 0 ? 1 : 0;
    const double after_first = ProcessCpuSeconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(9));
    first_ms += after_first - start;
    next_9ms += ProcessCpuSeconds() - after_first;
  }
  const double runs = double(state.iterations());
  state.counters["cpu_us_first_ms"] = benchmark::Counter(first_ms * 1e6 / runs);
  state.counters["cpu_us_next_9ms"] = benchmark::Counter(next_9ms * 1e6 / runs);
  state.counters["running_at_1ms"] = benchmark::Counter(still_running / runs);
}
BENCHMARK(Idle_AfterBurst)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rowfork::bench

BENCHMARK_MAIN();
