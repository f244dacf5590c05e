// lumora-sim's defaults under an emulator: what the command line sets stays.
#include "host/sim/options.h"

#include <gtest/gtest.h>

namespace lumora::sim {
namespace {

TEST(SimOptions, UnderAnEmulatorOnlyWhatTheCommandLineLeftOpenShrinks) {
  const std::vector<std::string> ops = {"display"};
  const struct {
    std::vector<const char *> argv;
    int width, height, repeat;
  } cases[] = {{{"lumora-sim"}, 512, 512, 1},
               {{"lumora-sim", "--size", "300x200"}, 300, 200, 1},
               {{"lumora-sim", "--repeat", "4"}, 512, 512, 4}};
  for (const auto &c : cases) {
    Options options;
    std::string error;
    ASSERT_TRUE(ParseOptions(int(c.argv.size()), c.argv.data(), ops, options, error)) << error;
    UseEmulatorDefaults(options);
    EXPECT_EQ(options.width, c.width) << c.argv.back();
    EXPECT_EQ(options.height, c.height) << c.argv.back();
    EXPECT_EQ(options.repeat, c.repeat) << c.argv.back();
  }
}

}  // namespace
}  // namespace lumora::sim
