// lumora-sim: a substitute Lumora host that loads Rowfork.lmx and shows what
// it does to real image work. See --help.
#include <sched.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "host/module_loader.h"
#include "host/sim/document.h"
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

// The processors this process may run on, as the module counts them.
int AllowedProcessors() {
  cpu_set_t set;
  return sched_getaffinity(0, sizeof set, &set) == 0 ? CPU_COUNT(&set) : 1;
}

// A profile folder of the run's own, removed when the run ends.
class TemporaryFolder {
 public:
  TemporaryFolder() {
    std::string pattern = (fs::temp_directory_path() / "lumora-sim-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  const std::string &Path() const { return path_; }

 private:
  std::string path_;
};

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
  TemporaryFolder profile;
  if (profile.Path().empty()) return Fail(1, "cannot make a folder for the profile");

  // The module reads its processor count and its profile switch from these.
  if (options.threads != 0) setenv("ROWFORK_CPUS", std::to_string(options.threads).c_str(), 1);
  setenv("WINDIR", profile.Path().c_str(), 1);

  RunSettings settings;
  settings.threads = options.threads != 0 ? options.threads : AllowedProcessors();
  settings.repeat = options.repeat;
  settings.module_path = lumora::BuiltModulePath();
  settings.profile_directory = profile.Path();
  settings.out = options.out;
  if (settings.threads < 2) return Fail(1, "needs at least 2 processors (or --threads)");

  const RunResult result = RunOperations(settings, document, MakeOperations(document, options.ops));
  if (!result.error.empty()) return Fail(1, result.error);

  RunSummary summary{document.width, document.height, settings.threads, settings.repeat, source};
  summary.compute_ceiling = result.compute_ceiling;
  summary.least_compute_ceiling = result.least_compute_ceiling;
  std::ifstream("/proc/loadavg") >> summary.load;
  const std::string chart = options.out + "/speedups.svg";
  std::ofstream(chart) << Chart(summary, result.rows);
  std::fputs((options.csv ? Csv(result.rows, settings.threads) : Table(summary, result.rows)).c_str(),
             stdout);
  if (!options.csv) {
    std::printf("\nImages and chart in %s:\n", fs::absolute(options.out).lexically_normal().c_str());
    for (const std::string &path : result.written) std::printf("  %s\n", fs::path(path).filename().c_str());
    std::printf("  speedups.svg\n");
  }

  for (const Measurement &m : result.rows) {
    if (!m.identical) return 1;
  }
  return 0;
}
