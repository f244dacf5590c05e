// lumora-sim's command line: the values it takes (which values are refused
// is checked on the program itself, by sim_cli_test.py).
#include "host/sim/options.h"

#include <gtest/gtest.h>

namespace lumora::sim {
namespace {

const std::vector<std::string> kOps = {"blend", "sum", "copy"};

Options Parsed(std::vector<const char *> args) {
  args.insert(args.begin(), "lumora-sim");
  Options options;
  std::string error;
  EXPECT_TRUE(ParseOptions(int(args.size()), args.data(), kOps, options, error)) << error;
  return options;
}

std::string Refusal(std::vector<const char *> args) {
  args.insert(args.begin(), "lumora-sim");
  Options options;
  std::string error;
  EXPECT_FALSE(ParseOptions(int(args.size()), args.data(), kOps, options, error));
  return error;
}

TEST(SimOptions, DefaultsAreTheDemonstrationsOwnAndEveryOptionTakesItsValue) {
  const Options defaults = Parsed({});
  EXPECT_EQ(defaults.threads, 0);
  EXPECT_EQ(std::make_pair(defaults.width, defaults.height), std::make_pair(4096, 4096));
  EXPECT_EQ(defaults.repeat, 5);
  EXPECT_TRUE(defaults.image.empty() && defaults.ops.empty() && !defaults.csv && !defaults.help);

  const Options options = Parsed({"--threads", "8", "--size", "8191x8", "--repeat", "3", "--ops",
                                  "copy,blend,copy", "--csv", "--out", "there", "--help"});
  EXPECT_EQ(options.threads, 8);
  EXPECT_EQ(std::make_pair(options.width, options.height), std::make_pair(8191, 8));
  EXPECT_EQ(options.repeat, 3);
  EXPECT_EQ(options.ops, (std::vector<std::string>{"copy", "blend"}));
  EXPECT_TRUE(options.csv && options.help);
  EXPECT_EQ(options.out, "there");
  EXPECT_EQ(Parsed({"--image", "a.png"}).image, "a.png");
}

// What a refusal says; which values are refused is checked on the program.
TEST(SimOptions, RefusalsNameTheOptionAndTheValue) {
  EXPECT_NE(Refusal({"--size", "640x"}).find("'640x'"), std::string::npos);
  EXPECT_NE(Refusal({"--ops", "sum,sharpen"}).find("'sharpen'"), std::string::npos);
  EXPECT_NE(Refusal({"--repeat"}).find("needs a value"), std::string::npos);
}

}  // namespace
}  // namespace lumora::sim
