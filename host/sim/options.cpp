#include "host/sim/options.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "host/sim/document.h"

namespace lumora::sim {
namespace {

constexpr int kMaxThreads = 64;
constexpr int kMaxRepeat = 1000;

// The whole of `text` as a decimal number in [low, high].
bool Number(std::string_view text, int low, int high, int &value) {
  int parsed = 0;
  const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (failure != std::errc() || end != text.data() + text.size() || parsed < low || parsed > high)
    return false;
  value = parsed;
  return true;
}

bool Size(std::string_view text, int &width, int &height) {
  const size_t x = text.find('x');
  return x != std::string_view::npos && Number(text.substr(0, x), kMinSide, kMaxWidth, width) &&
         Number(text.substr(x + 1), kMinSide, kMaxHeight, height);
}

bool OpList(std::string_view text, const std::vector<std::string> &known, std::vector<std::string> &ops,
            std::string &error) {
  ops.clear();
  while (true) {
    const size_t comma = text.find(',');
    const std::string name(text.substr(0, comma));
    if (std::find(known.begin(), known.end(), name) == known.end()) {
      error = "--ops: unknown operation '" + name + "' (see --help)";
      return false;
    }
    if (std::find(ops.begin(), ops.end(), name) == ops.end()) ops.push_back(name);
    if (comma == std::string_view::npos) return true;
    text.remove_prefix(comma + 1);
  }
}

}  // namespace

bool ParseOptions(int argc, const char *const *argv, const std::vector<std::string> &known_ops,
                  Options &options, std::string &error) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view option = argv[i];
    if (option == "--help" || option == "-h") {
      options.help = true;
      continue;
    }
    if (option == "--version") {
      options.version = true;
      continue;
    }
    if (option == "--csv") {
      options.csv = true;
      continue;
    }
    if (option != "--threads" && option != "--size" && option != "--image" && option != "--repeat" &&
        option != "--ops" && option != "--out") {
      error = "unknown option '" + std::string(option) + "' (see --help)";
      return false;
    }
    if (i + 1 >= argc) {
      error = std::string(option) + " needs a value";
      return false;
    }
    const std::string_view value = argv[++i];
    if (option == "--threads") {
      if (!Number(value, 2, kMaxThreads, options.threads)) {
        error = "--threads: expected a number from 2 to " + std::to_string(kMaxThreads) + ", got '" +
                std::string(value) + "'";
        return false;
      }
    } else if (option == "--size") {
      if (!Size(value, options.width, options.height)) {
        error = "--size: expected WxH with W from " + std::to_string(kMinSide) + " to " +
                std::to_string(kMaxWidth) + " and H from " + std::to_string(kMinSide) + " to " +
                std::to_string(kMaxHeight) + ", got '" + std::string(value) + "'";
        return false;
      }
      options.size_given = true;
    } else if (option == "--image") {
      if (value.empty()) {
        error = "--image needs a file name";
        return false;
      }
      options.image = value;
    } else if (option == "--repeat") {
      if (!Number(value, 1, kMaxRepeat, options.repeat)) {
        error = "--repeat: expected a number from 1 to " + std::to_string(kMaxRepeat) + ", got '" +
                std::string(value) + "'";
        return false;
      }
      options.repeat_given = true;
    } else if (option == "--ops") {
      if (!OpList(value, known_ops, options.ops, error)) return false;
    } else {
      if (value.empty()) {
        error = "--out needs a folder name";
        return false;
      }
      options.out = value;
    }
  }
  if (options.size_given && !options.image.empty()) {
    error = "--size and --image exclude each other: an image brings its own size";
    return false;
  }
  return true;
}

void UseEmulatorDefaults(Options &options) {
  if (!options.size_given) options.width = options.height = 512;
  if (!options.repeat_given) options.repeat = 1;
}

std::string Usage(const std::vector<std::string> &known_ops) {
  std::string ops;
  for (const std::string &name : known_ops) ops += (ops.empty() ? "" : ",") + name;
  return "Usage: lumora-sim [options]\n"
         "Loads Rowfork.lmx into a substitute Lumora host and runs image operations through the host's\n"
         "tables: with the module inactive, active, and as an OpenMP loop over the same rows. Prints the\n"
         "times and whether the active output equals the inactive one byte for byte; writes the output\n"
         "images and a chart of the speedups.\n"
         "\n"
         "  --threads N   processors the module and OpenMP use (2 to 64; default: all this process may use;\n"
         "                the Windows build's module always uses all the system reports)\n"
         "  --size WxH    size of the generated image (default 4096x4096; 512x512 under an emulator)\n"
         "  --image FILE  work on this PNG instead of the generated image\n"
         "  --repeat N    rounds per operation, each running every mode once; medians (default 5;\n"
         "                1 under an emulator)\n"
         "  --ops LIST    comma-separated operations to run (default: all):\n"
         "                " +
         ops +
         "\n"
         "  --csv         print the table as CSV\n"
         "  --out DIR     folder for the images and the chart (default lumora-sim-out)\n"
         "  --version     the version of lumora-sim and of the module it is built with\n"
         "  --help        this text\n"
         "\n"
         "Exit status: 0 when every active output equals the inactive one, 1 when one does not or the\n"
         "module cannot be run, 2 on a bad option or an unreadable image.\n";
}

}  // namespace lumora::sim
