#include "host/sim/run.h"

#include <omp.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <thread>

#include "host/host_abi.h"
#include "host/module_loader.h"
#include "host/plugin_support.h"
#include "host/sim/machine.h"
#include "host/sim/png_file.h"
#include "host/sim/sim_routines.h"

namespace lumora::sim {
namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

// Lets the threads of whatever ran before go quiet, so that every timed run
// starts on an idle machine: OpenMP's threads spin for some milliseconds
// after each loop, and would otherwise share a processor with the next run.
void Settle() { std::this_thread::sleep_for(std::chrono::milliseconds(20)); }

// The time of one run, after an untimed Prepare, less what it spent idle on
// purpose.
template <typename Run>
double TimeRun(Operation &operation, Run run) {
  operation.Prepare();
  Settle();
  const Clock::time_point start = Clock::now();
  run();
  return Milliseconds(Clock::now() - start) - operation.IdleMs();
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
  std::ofstream file(directory + "/" + kProfileFile);
  file << "[Lumora]\nMultithreading=" << multithreading << "\n";
  return bool(file);
}

// The module file, loaded once for the whole run. Started with its switch off
// it answers 42 and leaves that host's tables alone, so it can then be
// started for real on a second set of tables, and the host's own routines and
// the module's wrappers can be timed side by side.
class Module {
 public:
  Module(const RunSettings &settings, std::string &error)
      : settings_(settings), loaded_(settings.module_path) {
    if (!loaded_.Loaded()) error = "cannot load " + settings.module_path + ": " + loaded_.Error();
    if (profile_.Path().empty()) error = "cannot make a folder for the module's profile file";
  }
  ~Module() {
    if (started_) loaded_.Call(kSelectShutDown, nullptr);
  }
  Module(const Module &) = delete;
  Module &operator=(const Module &) = delete;

  // Starts on `suites` with the switch set to `multithreading`; false (with
  // `error`) unless start-up answers `expected`.
  bool Start(HostSuites &suites, int multithreading, int16_t expected, std::string &error) {
    if (!WriteProfile(profile_.Path(), multithreading)) {
      error = "cannot write the profile in " + profile_.Path();
      return false;
    }
    const int16_t result = loaded_.Call(kSelectStartUp, suites.Block());
    started_ = started_ || result == kResultSuccess;
    if (result == expected) return true;
    error = "start-up of " + settings_.module_path + " answered " + std::to_string(result) + ", expected " +
            std::to_string(expected);
    return false;
  }

  // The module reads its switch only at start-up.
  void ReleaseProfile() { profile_.Release(); }
  std::string FileName() const { return loaded_.FileName(); }

 private:
  const RunSettings &settings_;
  ProfileFolder profile_;
  LoadedModule loaded_;
  bool started_ = false;
};

// Copies `bytes` from `from` to `to` on `threads` threads, each its own
// part: the calling thread and threads made for the copy, which the system
// places on idle processors.
double TimeCopy(std::vector<uint8_t> &to, const std::vector<uint8_t> &from, size_t bytes, int threads) {
  const auto n = static_cast<size_t>(threads);
  const auto part = [&](size_t k) {
    const size_t begin = bytes * k / n, end = bytes * (k + 1) / n;
    std::memcpy(to.data() + begin, from.data() + begin, end - begin);
  };
  Settle();
  const Clock::time_point start = Clock::now();
  std::vector<std::thread> helpers;
  for (size_t k = 1; k < n; ++k) helpers.emplace_back(part, k);
  part(0);
  for (std::thread &helper : helpers) helper.join();
  return Milliseconds(Clock::now() - start);
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

// The speedup of `threads` threads over one on the same arithmetic, once.
double ComputeGain(int threads) {
  constexpr int kValues = 1 << 17;
  uint32_t sink = 0;
  const auto time = [&](int n) {
    Settle();
    const Clock::time_point start = Clock::now();
#pragma omp parallel for schedule(static) num_threads(n) reduction(+ : sink)
    for (int part = 0; part < n; ++part) sink += Arithmetic(static_cast<uint32_t>(part * kValues / n), kValues / n);
    return Milliseconds(Clock::now() - start);
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

// What one operation's rounds run on: the two sets of tables and the copy
// buffers.
struct Bench {
  const RunSettings &settings;
  const Document &document;
  HostSuites &own;
  HostSuites &wrapped;
  std::vector<uint8_t> &from;
  std::vector<uint8_t> &to;
};

// Runs `op`'s rounds, comparing the first round's active output with its
// inactive one. The active run comes last in the last round, so that `op`
// ends holding the active output.
void MeasureOperation(Bench &bench, Operation &op, Measurement &m, Progress &progress) {
  const int repeat = bench.settings.repeat;
  const auto bytes = static_cast<size_t>(m.bytes / 2);
  std::vector<uint8_t> inactive;
  for (int i = 0; i < repeat; ++i) {
    progress.Show(std::string(op.Name()) + ": round " + std::to_string(i + 1) + " of " + std::to_string(repeat));
    Round round;
    round.inactive_ms = TimeRun(op, [&] { op.Run(bench.own); });
    if (i == 0) inactive = op.Output();
    const auto run_active = [&] {
      round.active_ms = TimeRun(op, [&] { op.Run(bench.wrapped); });
      if (i != 0) return;
      m.identical = op.Output() == inactive;
      inactive = {};
    };
    const auto run_openmp = [&] {
      round.openmp_ms = TimeRun(op, [&] { op.RunOpenMP(bench.settings.threads); });
    };
    if ((repeat - i) % 2 == 1) {  // the two contenders take turns at going first
      run_openmp();
      run_active();
    } else {
      run_active();
      run_openmp();
    }
    round.copy_one_ms = TimeCopy(bench.to, bench.from, bytes, 1);
    round.copy_all_ms = TimeCopy(bench.to, bench.from, bytes, bench.settings.threads);
    round.arithmetic_gain = ComputeGain(bench.settings.threads);
    m.rounds.push_back(round);
  }
}

// Writes the input and every operation's picture, once nothing is timed any
// more: the disk writes would otherwise share the processors with the runs.
bool SavePictures(const RunSettings &settings, const Document &document,
                  const std::vector<std::unique_ptr<Operation>> &operations, RunResult &result,
                  Progress &progress) {
  progress.Show("writing input.png");
  if (!SavePicture(settings, document, "input", document.image.raster, result)) return false;
  for (const auto &op : operations) {
    progress.Show(std::string("writing ") + op->Name() + ".png");
    const std::vector<uint8_t> picture = op->Picture();
    if (!picture.empty() && !SavePicture(settings, document, op->Name(), picture, result)) return false;
  }
  return true;
}

}  // namespace

RunResult RunOperations(const RunSettings &settings, const Document &document,
                        const std::vector<std::unique_ptr<Operation>> &operations) {
  RunResult result;
  Progress progress;

  int64_t most = 0;
  for (const auto &op : operations) most = std::max(most, op->Bytes() / 2);
  std::vector<uint8_t> from(static_cast<size_t>(most), 1), to(static_cast<size_t>(most), 0);

  // Two sets of the host's tables: the module, switched off, leaves `own`
  // with the host's own routines; switched on, it wraps `wrapped`.
  HostSuites own, wrapped;
  PutSimRoutines(own);
  PutSimRoutines(wrapped);
  {
    Module module(settings, result.error);
    if (!result.error.empty() || !module.Start(own, 0, kResultInactive, result.error) ||
        !module.Start(wrapped, 1, kResultSuccess, result.error)) {
      return result;
    }
    module.ReleaseProfile();
    result.module_file = module.FileName();
    Bench bench{settings, document, own, wrapped, from, to};
    for (const auto &op : operations) {
      Measurement m{op->Name(), op->Slots(), op->Rows(), op->Bytes(), {}, false, op->Pattern()};
      MeasureOperation(bench, *op, m, progress);
      result.rows.push_back(std::move(m));
    }
  }
  // Shut down and unloaded, the module must have handed back every buffer it took.
  if (PluginLiveBuffers() != 0) {
    result.error = "the module left " + std::to_string(PluginLiveBuffers()) + " host buffers allocated";
    return result;
  }
  if (!SavePictures(settings, document, operations, result, progress)) return result;

  std::vector<double> gains;
  for (const Measurement &m : result.rows) {
    for (const Round &round : m.rounds) gains.push_back(round.arithmetic_gain);
  }
  result.compute_ceiling = Median(gains);
  result.least_compute_ceiling = gains.empty() ? 0 : *std::min_element(gains.begin(), gains.end());
  return result;
}

}  // namespace lumora::sim
