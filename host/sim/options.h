// lumora-sim's command line.
#pragma once

#include <string>
#include <vector>

namespace lumora::sim {

struct Options {
  int threads = 0;  // 0: every processor the process may use
  int width = 4096;
  int height = 4096;
  bool size_given = false;
  std::string image;  // a PNG to work on instead of the generated document
  int repeat = 5;
  bool repeat_given = false;
  std::vector<std::string> ops;  // empty: every operation
  bool csv = false;
  std::string out = "lumora-sim-out";
  bool help = false;
  bool version = false;
};

// Parses argv[1..]; on a bad option returns false with a one-line reason.
// `known_ops` are the names --ops accepts.
bool ParseOptions(int argc, const char *const *argv, const std::vector<std::string> &known_ops,
                  Options &options, std::string &error);

// Under an emulator the times are the emulator's, and a full-size run takes
// many minutes: the defaults not overridden shrink to 512 x 512 and 1 round,
// enough to run every operation and compare every output.
void UseEmulatorDefaults(Options &options);

// The --help text.
std::string Usage(const std::vector<std::string> &known_ops);

}  // namespace lumora::sim
