// lumora-sim: a substitute Lumora host that loads Rowfork.lmx and shows what
// it does to real image work. See --help.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "host/emulation.h"
#include "host/module_loader.h"
#include "host/sim/document.h"
#include "host/sim/machine.h"
#include "host/sim/options.h"
#include "host/sim/png_file.h"
#include "host/sim/report.h"
#include "host/sim/run.h"

namespace {

namespace fs = std::filesystem;
using namespace lumora::sim;

constexpr int kBadUsage = 2;

int Fail(int status, const std::string &message) {
  std::fprintf(stderr, "lumora-sim: %s\n", message.c_str());
  return status;
}

}  // namespace

int main(int argc, char **argv) {
  const std::vector<std::string> names = OperationNames();
  Options options;
  std::string error;
  if (!ParseOptions(argc, argv, names, options, error)) return Fail(kBadUsage, error);
  if (options.help) {
    std::fputs(Usage(names).c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("lumora-sim %s (Rowfork.lmx %s, file version %s)\n", ROWFORK_VERSION, ROWFORK_VERSION,
                ROWFORK_FILE_VERSION);
    return 0;
  }

  const std::string emulator = lumora::EmulatedProcessor();
  if (!emulator.empty()) UseEmulatorDefaults(options);

  if (options.threads != 0 && !UseProcessors(options.threads, error)) return Fail(kBadUsage, error);

  Document document;
  std::string source = "generated";
  if (!options.image.empty()) {
    RgbaImage image;
    if (!ReadPng(options.image, kMaxWidth, kMaxHeight, image, error)) return Fail(kBadUsage, error);
    if (image.width < kMinSide || image.height < kMinSide) {
      return Fail(kBadUsage, options.image + ": smaller than " + std::to_string(kMinSide) + " x " +
                                 std::to_string(kMinSide));
    }
    document = DocumentFromRaster(image.width, image.height, std::move(image.rgba));
    source = options.image;
  } else {
    document = GenerateDocument(options.width, options.height);
  }

  std::error_code failure;
  fs::create_directories(options.out, failure);
  if (failure || !fs::is_directory(options.out)) {
    return Fail(kBadUsage, "--out: cannot make folder " + options.out);
  }
  RunSettings settings;
  settings.threads = options.threads != 0 ? options.threads : MachineProcessors();
  settings.repeat = options.repeat;
  settings.module_path = lumora::BuiltModulePath();
  settings.out = options.out;
  if (settings.threads < 2) return Fail(1, "needs at least 2 processors (or --threads)");

  const RunResult result = RunOperations(settings, document, MakeOperations(document, options.ops));
  if (!result.error.empty()) return Fail(1, result.error);

  RunSummary summary{document.width, document.height, settings.threads, settings.repeat, source};
  summary.module_file = result.module_file;
  summary.target = TargetName();
  summary.emulator = emulator;
  summary.processors = MachineProcessors();
  summary.compute_ceiling = result.compute_ceiling;
  summary.least_compute_ceiling = result.least_compute_ceiling;
  summary.load = LoadAverage();
  const std::string chart = options.out + "/speedups.svg";
  std::ofstream(chart) << Chart(summary, result.rows);
  std::fputs((options.csv ? Csv(summary, result.rows) : Table(summary, result.rows)).c_str(),
             stdout);
  if (!options.csv) {
    std::printf("\nImages and chart in %s:\n", fs::absolute(options.out).lexically_normal().string().c_str());
    for (const std::string &path : result.written) {
      std::printf("  %s\n", fs::path(path).filename().string().c_str());
    }
    std::printf("  speedups.svg\n");
  }

  for (const Measurement &m : result.rows) {
    if (!m.identical) return 1;
  }
  return 0;
}
