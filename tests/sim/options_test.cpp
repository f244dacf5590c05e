// lumora-sim's command line: the values it takes (the refusals are checked on
// the program itself, by sim_cli_test.py).
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

TEST(SimOptions, DefaultsAreTheDemonstrationsOwn) {
  const Options options = Parsed({});
  EXPECT_EQ(options.threads, 0);
  EXPECT_EQ(options.width, 4096);
  EXPECT_EQ(options.height, 4096);
  EXPECT_TRUE(options.image.empty());
  EXPECT_EQ(options.repeat, 5);
  EXPECT_TRUE(options.ops.empty());
  EXPECT_FALSE(options.csv);
  EXPECT_FALSE(options.help);
}

TEST(SimOptions, EveryOptionTakesItsValue) {
  const Options options = Parsed({"--threads", "8", "--size", "640x8", "--repeat", "3", "--ops",
                                  "copy,blend,copy", "--csv", "--out", "there", "--help"});
  EXPECT_EQ(options.threads, 8);
  EXPECT_EQ(options.width, 640);
  EXPECT_EQ(options.height, 8);
  EXPECT_EQ(options.repeat, 3);
  EXPECT_EQ(options.ops, (std::vector<std::string>{"copy", "blend"}));
  EXPECT_TRUE(options.csv);
  EXPECT_EQ(options.out, "there");
  EXPECT_TRUE(options.help);
  EXPECT_EQ(Parsed({"--image", "a.png"}).image, "a.png");
  EXPECT_EQ(Parsed({"--size", "8191x8192"}).width, 8191);
  EXPECT_EQ(Parsed({"--size", "8191x8192"}).height, 8192);
}

TEST(SimOptions, RefusalsNameTheOptionAndTheValue) {
  EXPECT_NE(Refusal({"--size", "640x"}).find("'640x'"), std::string::npos);
  EXPECT_NE(Refusal({"--ops", "sum,sharpen"}).find("'sharpen'"), std::string::npos);
  EXPECT_NE(Refusal({"--threads", "65"}).find("--threads"), std::string::npos);
  EXPECT_NE(Refusal({"--repeat"}).find("needs a value"), std::string::npos);
  EXPECT_NE(Refusal({"--size", "8x8", "--image", "a.png"}).find("--image"), std::string::npos);
}

TEST(SimOptions, UsageListsTheOperations) {
  EXPECT_NE(Usage(kOps).find("blend,sum,copy"), std::string::npos);
}

}  // namespace
}  // namespace lumora::sim
