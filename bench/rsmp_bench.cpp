// The resampling suite's multiplication tables over 256 columns (8 MB of
// tables), against a plain memset of the same bytes, in one run: each on the
// calling thread alone, and split across a pool of two by the same fork-join
// step. Bandwidth is the bytes written per second.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "bench_pool.h"
#include "kernels/multiply_tables.h"
#include "pool/split.h"
#include "unit/installed_wrapper.h"

namespace rowfork::bench {
namespace {

constexpr int kColumns = 256;
constexpr size_t kBytes = kColumns * kColumnTableBytes;
constexpr int kThreads = 2;

struct Tables {
  Tables() : matrix(32 * kColumns), output(kBytes / sizeof(uint32_t)) {
    std::mt19937 random(1);
    for (I16 &c : matrix) c = static_cast<I16>(random());
  }
  std::vector<I16> matrix;
  std::vector<uint32_t> output;
};
Tables &TheTables() {
  static Tables tables;
  return tables;
}

// A run of columns' worth of bytes cleared, split like the tables: by columns.
int32_t ClearColumns(Ptr output, I16 columns) {
  std::memset(output, 0x5A, size_t(columns) * kColumnTableBytes);
  return 0;
}
using ColumnSplit = RowSplit<int32_t(Ptr, I16), Rows<2>, ScaledPlane<1, int32_t{kColumnTableBytes}>>;

void Finish(benchmark::State &state) {
  benchmark::DoNotOptimize(TheTables().output.data());
  benchmark::ClobberMemory();
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
}

void Tables_OneThread(benchmark::State &state) {
  Tables &t = TheTables();
  for (auto _ : state)
    FillMultiplyTables(kColumns, t.matrix.data(), t.output.data(), kFirstColumnBase, kColumns);
  Finish(state);
}

void Tables_Split(benchmark::State &state) {
  Tables &t = TheTables();
  UsePool(kThreads);
  const auto fill = reinterpret_cast<int32_t (*)(I16, Ptr, Ptr)>(testing::InstalledWrapper(Suite::rsmp, 4));
  for (auto _ : state) fill(kColumns, t.matrix.data(), t.output.data());
  Finish(state);
}

void Memset_OneThread(benchmark::State &state) {
  Tables &t = TheTables();
  for (auto _ : state) ClearColumns(t.output.data(), kColumns);
  Finish(state);
}

void Memset_Split(benchmark::State &state) {
  Tables &t = TheTables();
  UsePool(kThreads);
  for (auto _ : state) ColumnSplit::Run(&ClearColumns, t.output.data(), kColumns);
  Finish(state);
}

// The fastest repetition too: on a shared machine it is the one least
// disturbed by other work.
double Fastest(const std::vector<double> &v) { return *std::min_element(v.begin(), v.end()); }

void Timed(benchmark::internal::Benchmark *b) {
  b->UseRealTime()->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", Fastest);
}

BENCHMARK(Memset_OneThread)->Apply(Timed);
BENCHMARK(Tables_OneThread)->Apply(Timed);
BENCHMARK(Memset_Split)->Apply(Timed);
BENCHMARK(Tables_Split)->Apply(Timed);

}  // namespace
}  // namespace rowfork::bench

BENCHMARK_MAIN();
