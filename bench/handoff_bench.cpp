// What a split costs and gains as a host meets it, on either target: the
// module file is loaded as Lumora loads it, and rast slot 0 is called through
// the host's table (the module's wrapper), directly (the host's own routine,
// unsplit) and as an OpenMP loop over the same bands, in rounds that take
// turns, so that a stretch in which the machine gives less weighs on every
// contender alike. Times are medians over the rounds; a speedup or a ratio is
// the median of each round's own.
//
//   handoff_bench [--rounds N] [--quick]
//
// Run natively against build/native/Rowfork.lmx, and under Wine against the
// 32-bit DLL (ROWFORK_CPUS sets the processors the Linux build sees).
#include <omp.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "host/host_suites.h"
#include "host/module_loader.h"
#include "host/plugin_support.h"
#include "process_time.h"

namespace {

using Clock = std::chrono::steady_clock;
using Body = int32_t (*)(void *, void *, int16_t, int16_t, int32_t, int32_t, int16_t, int16_t);

// ---- the host routines: rast slot 0's arguments (planes 1 and 2, rows,
// columns in place of the bias, the strides, an unused value, a row factor) ----

[[gnu::noinline]] int32_t Empty(void *, void *, int16_t rows, int16_t, int32_t, int32_t, int16_t, int16_t) {
  asm volatile("" ::: "memory");
  return rows;
}

// Memory-bound: the first plane takes a weighted mean of itself and the second.
int32_t Blend(void *p1, void *p2, int16_t rows, int16_t columns, int32_t s1, int32_t s2, int16_t, int16_t) {
  for (int r = 0; r < rows; ++r) {
    auto *out = static_cast<uint8_t *>(p1) + intptr_t{r} * s1;
    const auto *in = static_cast<const uint8_t *>(p2) + intptr_t{r} * s2;
    for (int c = 0; c < columns; ++c) out[c] = static_cast<uint8_t>((out[c] * 3 + in[c] * 5) >> 3);
  }
  return 0;
}

// Compute-bound: dependent integer rounds per pixel.
int32_t Churn(void *p1, void *p2, int16_t rows, int16_t columns, int32_t s1, int32_t s2, int16_t, int16_t) {
  for (int r = 0; r < rows; ++r) {
    auto *out = static_cast<uint8_t *>(p1) + intptr_t{r} * s1;
    const auto *in = static_cast<const uint8_t *>(p2) + intptr_t{r} * s2;
    for (int c = 0; c < columns; ++c) {
      uint32_t x = in[c] + 1u;
      for (uint32_t round = 0; round < 24; ++round) x = ((x ^ (x >> 7)) * 0x9E3779B1u) + round;
      out[c] = static_cast<uint8_t>(x >> 24);
    }
  }
  return 0;
}

// The routine in the host's slot; every contender calls through it.
Body current_body = &Empty;
int32_t SlotZero(void *p1, void *p2, int16_t rows, int16_t columns, int32_t s1, int32_t s2, int16_t x,
                 int16_t f) {
  return current_body(p1, p2, rows, columns, s1, s2, x, f);
}

// ---- the work ----

constexpr int kSide = 4096;

struct Work {
  const char *name;
  Body body;
  int rows;
  int columns;
  int calls;     // timed back to back, after one untimed call
  int idle_ms;   // > 0: every call after this long idle instead, none untimed
  bool beat_openmp;  // the module should be faster than OpenMP; otherwise at parity
};

struct Planes {
  std::vector<uint8_t> first = std::vector<uint8_t>(size_t{kSide} * kSide, 7);
  std::vector<uint8_t> second = std::vector<uint8_t>(size_t{kSide} * kSide, 200);
};

enum Contender { kDirect, kModule, kOpenMP, kContenders };
const char *const kContenderNames[kContenders] = {"direct", "module", "OpenMP"};

class Bench {
 public:
  Bench(lumora::HostSuites &suites, int threads) : suites_(suites), threads_(threads) {}

  // Seconds per call of one contender, as one timing of `work`.
  double Time(const Work &work, Contender who) {
    current_body = work.body;
    const int untimed = work.idle_ms > 0 ? 0 : 1;
    double total = 0;
    for (int call = -untimed; call < work.calls; ++call) {
      if (work.idle_ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(work.idle_ms));
      const Clock::time_point start = Clock::now();
      Call(work, who);
      if (call >= 0) total += std::chrono::duration<double>(Clock::now() - start).count();
    }
    return total / work.calls;
  }

 private:
  void Call(const Work &work, Contender who) {
    const auto rows = static_cast<int16_t>(work.rows);
    const auto columns = static_cast<int16_t>(work.columns);
    switch (who) {
      case kDirect:
        SlotZero(planes_.first.data(), planes_.second.data(), rows, columns, kSide, kSide, 0, 1);
        break;
      case kModule:
        reinterpret_cast<Body>(suites_.Table(lumora::Code("rast"))[0])(
            planes_.first.data(), planes_.second.data(), rows, columns, kSide, kSide, 0, 1);
        break;
      case kOpenMP: {
        const int per_band = work.rows / threads_;
#pragma omp parallel for schedule(static) num_threads(threads_)
        for (int band = 0; band < threads_; ++band) {
          const int first = band * per_band;
          const int count = band == threads_ - 1 ? work.rows - first : per_band;
          const size_t offset = size_t(first) * kSide;
          SlotZero(planes_.first.data() + offset, planes_.second.data() + offset, static_cast<int16_t>(count),
                   columns, kSide, kSide, 0, 1);
        }
        break;
      }
      case kContenders:
        break;
    }
  }

  lumora::HostSuites &suites_;
  int threads_;
  Planes planes_;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string Duration(double seconds) {
  char text[32];
  if (seconds < 1e-3) {
    std::snprintf(text, sizeof text, "%.2f us", seconds * 1e6);
  } else {
    std::snprintf(text, sizeof text, "%.3f ms", seconds * 1e3);
  }
  return text;
}

// The participants of a split: one routine call per band of a call with
// plenty of rows.
int CountParticipants(lumora::HostSuites &suites) {
  static int calls;
  calls = 0;
  current_body = [](void *, void *, int16_t, int16_t, int32_t, int32_t, int16_t, int16_t) -> int32_t {
    __atomic_add_fetch(&calls, 1, __ATOMIC_RELAXED);
    return 0;
  };
  uint8_t byte = 0;
  reinterpret_cast<Body>(suites.Table(lumora::Code("rast"))[0])(&byte, &byte, 4096, 1, 0, 0, 0, 1);
  return calls;
}

void Report(const Work &work, const std::vector<double> (&times)[kContenders], const std::vector<double> &gain,
            const std::vector<double> &versus) {
  std::printf("%-34s %11s %11s %11s %8.2fx %8.3f %s\n", work.name, Duration(Median(times[kDirect])).c_str(),
              Duration(Median(times[kModule])).c_str(), Duration(Median(times[kOpenMP])).c_str(), Median(gain),
              Median(versus), work.beat_openmp ? "(below 1: faster)" : "(parity: 1.02 or less)");
}

void MeasureWork(Bench &bench, const Work &work, int rounds) {
  std::vector<double> times[kContenders];
  std::vector<double> gain;    // direct / module, per round
  std::vector<double> versus;  // module / OpenMP, per round
  for (int round = 0; round < rounds; ++round) {
    // Module and OpenMP take turns at going first; each starts after a pause
    // that lets the threads of the contender before go quiet.
    const Contender order[kContenders] = {kDirect, round % 2 == 0 ? kModule : kOpenMP,
                                          round % 2 == 0 ? kOpenMP : kModule};
    double seconds[kContenders] = {};
    for (Contender who : order) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      seconds[who] = bench.Time(work, who);
      times[who].push_back(seconds[who]);
    }
    gain.push_back(seconds[kDirect] / seconds[kModule]);
    versus.push_back(seconds[kModule] / seconds[kOpenMP]);
  }
  Report(work, times, gain, versus);
}

// What an idle host costs: the processor time of the whole process over the
// 10 ms after a burst of splits, the first millisecond and the nine after.
void MeasureIdle(lumora::HostSuites &suites, int rounds) {
  std::vector<double> first_ms;
  std::vector<double> next_9ms;
  uint8_t byte = 0;
  current_body = &Empty;
  const auto wrapper = reinterpret_cast<Body>(suites.Table(lumora::Code("rast"))[0]);
  for (int round = 0; round < rounds; ++round) {
    for (int call = 0; call < 2000; ++call) wrapper(&byte, &byte, 64, 1, 0, 0, 0, 1);
    const double start = rowfork_bench::ProcessCpuSeconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const double after_first = rowfork_bench::ProcessCpuSeconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(9));
    first_ms.push_back(after_first - start);
    next_9ms.push_back(rowfork_bench::ProcessCpuSeconds() - after_first);
  }
  std::printf("%-34s processor time %s in the first ms, %s in the 9 ms after (medians)\n",
              "idle after a burst of splits", Duration(Median(first_ms)).c_str(),
              Duration(Median(next_9ms)).c_str());
}

}  // namespace

int main(int argc, char **argv) {
  int rounds = 15;
  bool quick = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) {
      rounds = std::max(1, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--quick") == 0) {
      quick = true;
    } else {
      std::fprintf(stderr, "usage: handoff_bench [--rounds N] [--quick]\n");
      return 2;
    }
  }
  if (quick) rounds = 1;

  lumora::HostSuites suites;
  suites.SetSlot(lumora::Code("rast"), 0, &SlotZero);
  const std::string path = lumora::BuiltModulePath();
  lumora::LoadedModule module(path);
  if (!module.Loaded()) {
    std::fprintf(stderr, "cannot load %s: %s\n", path.c_str(), module.Error().c_str());
    return 1;
  }
  const int16_t started = module.Call(lumora::kSelectStartUp, suites.Block());
  if (started != lumora::kResultSuccess) {
    std::fprintf(stderr, "start-up answered %d\n", started);
    return 1;
  }
  const int threads = CountParticipants(suites);

  const int scale = quick ? 16 : 1;
  const Work works[] = {
      {"empty split (64 rows)", &Empty, 64, 1, 20000 / scale, 0, true},
      {"blend 64 x 4096", &Blend, 64, kSide, 400 / scale, 0, true},
      {"blend 4096 x 4096 (memory-bound)", &Blend, quick ? 256 : kSide, kSide, 4, 0, false},
      {"compute-bound 1024 x 4096", &Churn, quick ? 64 : 1024, kSide, 2, 0, false},
      {"compute-bound 300 x 400, 20 ms idle", &Churn, 300, 400, quick ? 2 : 5, 20, true},
  };
  std::printf("%s, %d participants, %s, medians of %d rounds\n", path.c_str(), threads,
              sizeof(void *) == 4 ? "32-bit" : "64-bit", rounds);
  std::printf("%-34s %11s %11s %11s %9s %8s\n", "work", kContenderNames[kDirect], kContenderNames[kModule],
              kContenderNames[kOpenMP], "speedup", "vs OpenMP");
  Bench bench(suites, threads);
  for (const Work &work : works) MeasureWork(bench, work, rounds);
  MeasureIdle(suites, quick ? 3 : rounds);

  module.Call(lumora::kSelectShutDown, nullptr);
  if (PluginLiveBuffers() != 0) {
    std::fprintf(stderr, "the module left %d host buffers allocated\n", PluginLiveBuffers());
    return 1;
  }
  return 0;
}
