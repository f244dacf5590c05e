#include "host/sim/run.h"

#include <omp.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "host/host_abi.h"
#include "host/module_loader.h"
#include "host/plugin_support.h"
#include "host/sim/png_file.h"
#include "host/sim/sim_routines.h"

namespace lumora::sim {
namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The median time of `repeat` runs, each after an untimed Prepare.
template <typename Run>
double TimeRuns(Operation &operation, int repeat, Run run) {
  std::vector<double> times;
  for (int i = 0; i < repeat; ++i) {
    operation.Prepare();
    const Clock::time_point start = Clock::now();
    run();
    times.push_back(Milliseconds(Clock::now() - start));
  }
  return Median(times);
}

// A line on the terminal that says what is running, once a run has taken
// longer than a second.
class Progress {
 public:
  Progress() : start_(Clock::now()), terminal_(isatty(STDERR_FILENO) != 0) {}
  ~Progress() {
    if (shown_) std::fprintf(stderr, "\r\033[K");
  }
  void Show(const std::string &what) {
    if (!terminal_ || Clock::now() - start_ < std::chrono::seconds(1)) return;
    shown_ = true;
    std::fprintf(stderr, "\r\033[K%s", what.c_str());
    std::fflush(stderr);
  }

 private:
  Clock::time_point start_;
  bool terminal_;
  bool shown_ = false;
};

bool WriteProfile(const std::string &directory, int multithreading) {
  std::ofstream file(directory + "/Lumora30.ini");
  file << "[Lumora]\nMultithreading=" << multithreading << "\n";
  return bool(file);
}

// The module loaded and started with its switch set to `multithreading`;
// false (with `error`) unless start-up answers `expected`.
class ModuleSession {
 public:
  ModuleSession(const RunSettings &settings, HostSuites &suites, int multithreading, int16_t expected,
                std::string &error) {
    if (!WriteProfile(settings.profile_directory, multithreading)) {
      error = "cannot write the profile in " + settings.profile_directory;
      return;
    }
    module_ = std::make_unique<LoadedModule>(settings.module_path);
    if (!module_->Loaded()) {
      error = "cannot load " + settings.module_path + ": " + module_->Error();
      return;
    }
    const int16_t result = module_->Call(kSelectStartUp, suites.Block());
    started_ = result == kResultSuccess;
    if (result != expected) {
      error = "start-up of " + settings.module_path + " answered " + std::to_string(result) + ", expected " +
              std::to_string(expected);
    }
  }
  ~ModuleSession() {
    if (started_) module_->Call(kSelectShutDown, nullptr);
  }
  ModuleSession(const ModuleSession &) = delete;
  ModuleSession &operator=(const ModuleSession &) = delete;

 private:
  std::unique_ptr<LoadedModule> module_;
  bool started_ = false;
};

// Copies `bytes` from `from` to `to` on `threads` threads, each its own part.
void Copy(uint8_t *to, const uint8_t *from, size_t bytes, int threads) {
#pragma omp parallel num_threads(threads)
  {
    const size_t n = static_cast<size_t>(omp_get_num_threads());
    const size_t k = static_cast<size_t>(omp_get_thread_num());
    const size_t begin = bytes * k / n, end = bytes * (k + 1) / n;
    std::memcpy(to + begin, from + begin, end - begin);
  }
}

double TimeCopy(std::vector<uint8_t> &to, const std::vector<uint8_t> &from, size_t bytes, int threads,
                int repeat) {
  std::vector<double> times;
  for (int i = 0; i < repeat; ++i) {
    const Clock::time_point start = Clock::now();
    Copy(to.data(), from.data(), bytes, threads);
    times.push_back(Milliseconds(Clock::now() - start));
  }
  return Median(times);
}

// Dependent integer rounds on every one of `count` values, so that threads
// share nothing but the loop.
uint32_t Arithmetic(uint32_t first, int count) {
  uint32_t total = 0;
  for (int i = 0; i < count; ++i) {
    uint32_t x = first + static_cast<uint32_t>(i);
    for (int round = 0; round < 64; ++round) x = (x ^ (x >> 7)) * 0x9E3779B1u + static_cast<uint32_t>(round);
    total += x;
  }
  return total;
}

// The speedup of `threads` threads over one on the same arithmetic.
double ComputeCeiling(int threads, int repeat) {
  constexpr int kValues = 1 << 19;
  uint32_t sink = 0;
  const auto time = [&](int n) {
    std::vector<double> times;
    for (int i = 0; i < repeat; ++i) {
      const Clock::time_point start = Clock::now();
#pragma omp parallel for schedule(static) num_threads(n) reduction(+ : sink)
      for (int part = 0; part < n; ++part)
        sink += Arithmetic(static_cast<uint32_t>(part * kValues / n), kValues / n);
      times.push_back(Milliseconds(Clock::now() - start));
    }
    return Median(times);
  };
  const double one = time(1), all = time(threads);
  volatile uint32_t keep = sink;
  (void)keep;
  return one / all;
}

bool SavePicture(const RunSettings &settings, const Document &document, const std::string &name,
                 const std::vector<uint8_t> &rgba, RunResult &result) {
  const std::string path = settings.out + "/" + name + ".png";
  if (!WritePng(path, document.width, document.height, rgba.data(), result.error)) return false;
  result.written.push_back(path);
  return true;
}

}  // namespace

RunResult RunOperations(const RunSettings &settings, const Document &document,
                        const std::vector<std::unique_ptr<Operation>> &operations) {
  RunResult result;
  Progress progress;
  HostSuites suites;
  PutSimRoutines(suites);
  result.rows.resize(operations.size());
  for (size_t i = 0; i < operations.size(); ++i) {
    Measurement &m = result.rows[i];
    m.name = operations[i]->Name();
    m.slots = operations[i]->Slots();
    m.rows = operations[i]->Rows();
    m.bytes = operations[i]->Bytes();
  }

  // The host's own routines: the module is loaded, but its switch is off.
  std::vector<std::vector<uint8_t>> inactive(operations.size());
  {
    ModuleSession session(settings, suites, 0, kResultInactive, result.error);
    if (!result.error.empty()) return result;
    for (size_t i = 0; i < operations.size(); ++i) {
      Operation &op = *operations[i];
      progress.Show(std::string("module inactive: ") + op.Name());
      result.rows[i].inactive_ms = TimeRuns(op, settings.repeat, [&] { op.Run(suites); });
      inactive[i] = op.Output();
    }
  }

  // The same calls through the module's wrappers.
  {
    ModuleSession session(settings, suites, 1, kResultSuccess, result.error);
    if (!result.error.empty()) return result;
    for (size_t i = 0; i < operations.size(); ++i) {
      Operation &op = *operations[i];
      progress.Show(std::string("module active: ") + op.Name());
      result.rows[i].active_ms = TimeRuns(op, settings.repeat, [&] { op.Run(suites); });
      result.rows[i].identical = op.Output() == inactive[i];
      inactive[i].clear();
      inactive[i].shrink_to_fit();
    }
  }
  // Shut down, the module must have handed back every buffer it took.
  if (PluginLiveBuffers() != 0) {
    result.error = "the module left " + std::to_string(PluginLiveBuffers()) + " host buffers allocated";
    return result;
  }

  // Written from the active run's outputs, while they are at hand.
  if (!SavePicture(settings, document, "input", document.image.raster, result)) return result;
  for (const auto &op : operations) {
    progress.Show(std::string("writing ") + op->Name() + ".png");
    const std::vector<uint8_t> picture = op->Picture();
    if (!picture.empty() && !SavePicture(settings, document, op->Name(), picture, result)) return result;
  }

  // OpenMP over the same routines, and memcpy of the same bytes.
  int64_t most = 0;
  for (const Measurement &m : result.rows) most = std::max(most, m.bytes / 2);
  std::vector<uint8_t> from(static_cast<size_t>(most), 1), to(static_cast<size_t>(most), 0);
  for (size_t i = 0; i < operations.size(); ++i) {
    Operation &op = *operations[i];
    Measurement &m = result.rows[i];
    progress.Show(std::string("OpenMP: ") + op.Name());
    m.openmp_ms = TimeRuns(op, settings.repeat, [&] { op.RunOpenMP(settings.threads); });
    const auto bytes = static_cast<size_t>(m.bytes / 2);
    m.copy_one_ms = TimeCopy(to, from, bytes, 1, settings.repeat);
    m.copy_all_ms = TimeCopy(to, from, bytes, settings.threads, settings.repeat);
  }
  result.compute_ceiling = ComputeCeiling(settings.threads, settings.repeat);
  return result;
}

}  // namespace lumora::sim
