// What a split costs and gains as a host meets it, on either target: the
// module file is loaded as Lumora loads it, and rast slot 0 is called through
// the host's table (the module's wrapper), directly (the host's own routine,
// unsplit) and as an OpenMP loop over the same bands, in rounds that take
// turns, so that a stretch in which the machine gives less weighs on every
// contender alike. Times are medians over the rounds; a speedup or a ratio is
// the median of each round's own.
//
//   handoff_bench [--rounds N] [--quick] [--only TEXT] [--compare MODULE]
//
// Run natively against build/native/Rowfork.lmx, and under Wine against the
// 32-bit DLL (ROWFORK_CPUS sets the processors the Linux build sees).
// --compare loads another build of the module file beside it, on host tables
// of its own, and times it in the same rounds; --only runs the work whose name
// holds TEXT.
#include <omp.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "host/emulation.h"
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
  int calls;         // timed back to back, after one untimed call
  int idle_ms;       // > 0: every call after this long idle instead, none untimed
  bool beat_openmp;  // the module should be faster than OpenMP; otherwise at parity
};

struct Planes {
  std::vector<uint8_t> first = std::vector<uint8_t>(size_t{kSide} * kSide, 7);
  std::vector<uint8_t> second = std::vector<uint8_t>(size_t{kSide} * kSide, 200);
};

// The module file, loaded and started on host tables of its own.
class Module {
 public:
  explicit Module(const std::string &path) : path_(path), file_(path) {
    suites_.SetSlot(lumora::Code("rast"), 0, &SlotZero);
    if (!file_.Loaded()) {
      error_ = "cannot load " + path + ": " + file_.Error();
    } else if (const int16_t started = file_.Call(lumora::kSelectStartUp, suites_.Block()); started != 0) {
      error_ = path + ": start-up answered " + std::to_string(started);
    }
  }
  Module(const Module &) = delete;
  Module &operator=(const Module &) = delete;
  ~Module() {
    if (error_.empty()) file_.Call(lumora::kSelectShutDown, nullptr);
  }

  const std::string &Error() const { return error_; }
  const std::string &Path() const { return path_; }
  // The host's slot 0 as the module left it: the wrapper.
  Body Wrapper() { return reinterpret_cast<Body>(suites_.Table(lumora::Code("rast"))[0]); }

 private:
  std::string path_;
  lumora::LoadedModule file_;
  lumora::HostSuites suites_;
  std::string error_;
};

enum Contender { kDirect, kModule, kOpenMP, kCompared, kContenders };
const char *const kContenderNames[kContenders] = {"direct", "module", "OpenMP", "compared"};

class Bench {
 public:
  Bench(Module &module, Module *compared, int threads)
      : module_(module), compared_(compared), threads_(threads) {}

  bool Comparing() const { return compared_ != nullptr; }

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
    uint8_t *first = planes_.first.data();
    uint8_t *second = planes_.second.data();
    switch (who) {
      case kDirect:
        SlotZero(first, second, rows, columns, kSide, kSide, 0, 1);
        break;
      case kModule:
        module_.Wrapper()(first, second, rows, columns, kSide, kSide, 0, 1);
        break;
      case kCompared:
        compared_->Wrapper()(first, second, rows, columns, kSide, kSide, 0, 1);
        break;
      case kOpenMP: {
        const int per_band = work.rows / threads_;
#pragma omp parallel for schedule(static) num_threads(threads_)
        for (int band = 0; band < threads_; ++band) {
          const int from = band * per_band;
          const int count = band == threads_ - 1 ? work.rows - from : per_band;
          const size_t offset = size_t(from) * kSide;
          SlotZero(first + offset, second + offset, static_cast<int16_t>(count), columns, kSide, kSide, 0, 1);
        }
        break;
      }
      case kContenders:
        break;
    }
  }

  Module &module_;
  Module *compared_;
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
int CountParticipants(Module &module) {
  static int calls;
  calls = 0;
  current_body = [](void *, void *, int16_t, int16_t, int32_t, int32_t, int16_t, int16_t) -> int32_t {
    __atomic_add_fetch(&calls, 1, __ATOMIC_RELAXED);
    return 0;
  };
  uint8_t byte = 0;
  module.Wrapper()(&byte, &byte, 4096, 1, 0, 0, 0, 1);
  return calls;
}

// `judged`: whether to say what each ratio is held to (not where an emulator's
// times say nothing of the module's).
void MeasureWork(Bench &bench, const Work &work, int rounds, bool judged) {
  std::vector<Contender> contenders = {kModule, kOpenMP};
  if (bench.Comparing()) contenders.push_back(kCompared);
  std::vector<double> times[kContenders];
  std::vector<double> gain;      // direct / module, per round
  std::vector<double> versus;    // module / OpenMP, per round
  std::vector<double> compared;  // module / the compared module, per round
  for (int round = 0; round < rounds; ++round) {
    // The direct call first, then the others, each going first in turn; each
    // starts after a pause that lets the threads of the one before go quiet.
    std::vector<Contender> order = {kDirect};
    for (size_t i = 0; i < contenders.size(); ++i)
      order.push_back(contenders[(i + size_t(round)) % contenders.size()]);
    double seconds[kContenders] = {};
    for (Contender who : order) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      seconds[who] = bench.Time(work, who);
      times[who].push_back(seconds[who]);
    }
    gain.push_back(seconds[kDirect] / seconds[kModule]);
    versus.push_back(seconds[kModule] / seconds[kOpenMP]);
    if (bench.Comparing()) compared.push_back(seconds[kModule] / seconds[kCompared]);
  }
  std::printf("%-36s %11s %11s %11s %8.2fx %9.3f", work.name, Duration(Median(times[kDirect])).c_str(),
              Duration(Median(times[kModule])).c_str(), Duration(Median(times[kOpenMP])).c_str(),
              Median(gain), Median(versus));
  if (bench.Comparing()) {
    std::printf(" %11s %9.3f", Duration(Median(times[kCompared])).c_str(), Median(compared));
  }
  if (judged) std::printf("   %s", work.beat_openmp ? "below 1 beats OpenMP" : "1.02 or less is parity");
  std::printf("\n");
}

// What an idle host costs: the processor time of the whole process over the
// 10 ms after a burst of splits, the first millisecond and the nine after.
void MeasureIdle(Module &module, int rounds) {
  std::vector<double> first_ms;
  std::vector<double> next_9ms;
  uint8_t byte = 0;
  current_body = &Empty;
  const Body wrapper = module.Wrapper();
  // The OpenMP loop's threads of the work before spin a while after their
  // last loop: they would be counted as the module's.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  for (int round = 0; round < rounds; ++round) {
    for (int call = 0; call < 2000; ++call) wrapper(&byte, &byte, 64, 1, 0, 0, 0, 1);
    // The burst's last split after the first reading, which under Wine takes
    // longer than a worker spins.
    const double start = rowfork_bench::ProcessCpuSeconds();
    wrapper(&byte, &byte, 64, 1, 0, 0, 0, 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const double after_first = rowfork_bench::ProcessCpuSeconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(9));
    first_ms.push_back(after_first - start);
    next_9ms.push_back(rowfork_bench::ProcessCpuSeconds() - after_first);
  }
  std::printf("%-36s processor time %s in the first ms, %s in the 9 ms after (medians)\n",
              "idle after a burst of splits", Duration(Median(first_ms)).c_str(),
              Duration(Median(next_9ms)).c_str());
}

}  // namespace

int main(int argc, char **argv) {
  int rounds = 15;
  bool quick = false;
  std::string only;
  std::string compare;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--rounds" && i + 1 < argc) {
      rounds = std::max(1, std::atoi(argv[++i]));
    } else if (option == "--quick") {
      quick = true;
    } else if (option == "--only" && i + 1 < argc) {
      only = argv[++i];
    } else if (option == "--compare" && i + 1 < argc) {
      compare = argv[++i];
    } else {
      std::fprintf(stderr, "usage: handoff_bench [--rounds N] [--quick] [--only TEXT] [--compare MODULE]\n");
      return 2;
    }
  }
  if (quick) rounds = 1;

  {
    Module module(lumora::BuiltModulePath());
    std::unique_ptr<Module> compared = compare.empty() ? nullptr : std::make_unique<Module>(compare);
    for (const Module *loaded : {&module, compared.get()}) {
      if (loaded != nullptr && !loaded->Error().empty()) {
        std::fprintf(stderr, "%s\n", loaded->Error().c_str());
        return 1;
      }
    }
    const int threads = CountParticipants(module);

    const int scale = quick ? 16 : 1;
    const Work works[] = {
        {"empty split (64 rows)", &Empty, 64, 1, 20000 / scale, 0, true},
        {"blend 64 x 4096", &Blend, 64, kSide, 400 / scale, 0, true},
        {"blend 4096 x 4096 (memory-bound)", &Blend, quick ? 256 : kSide, kSide, 4, 0, false},
        {"compute-bound 1024 x 4096", &Churn, quick ? 64 : 1024, kSide, 2, 0, false},
        {"compute-bound 400 x 400, 20 ms idle", &Churn, 400, 400, quick ? 2 : 5, 20, true},
    };
    std::printf("%s, %d participants, %s, medians of %d rounds\n", module.Path().c_str(), threads,
                sizeof(void *) == 4 ? "32-bit" : "64-bit", rounds);
    if (compared) std::printf("compared with %s\n", compared->Path().c_str());
    const std::string emulator = lumora::EmulatedProcessor();
    if (!emulator.empty()) {
      std::printf("emulated by \"%s\": the times are the emulator's, not the module's, and judge no goal\n",
                  emulator.c_str());
    }
    std::printf("%-36s %11s %11s %11s %9s %9s", "work", kContenderNames[kDirect], kContenderNames[kModule],
                kContenderNames[kOpenMP], "speedup", "/OpenMP");
    if (compared) std::printf(" %11s %9s", kContenderNames[kCompared], "/compared");
    std::printf("\n");
    Bench bench(module, compared.get(), threads);
    for (const Work &work : works) {
      if (std::string(work.name).find(only) != std::string::npos) MeasureWork(bench, work, rounds, emulator.empty());
    }
    if (std::string("idle").find(only) != std::string::npos || only.empty())
      MeasureIdle(module, quick ? 3 : rounds);
  }
  if (PluginLiveBuffers() != 0) {
    std::fprintf(stderr, "the modules left %d host buffers allocated\n", PluginLiveBuffers());
    return 1;
  }
  return 0;
}
