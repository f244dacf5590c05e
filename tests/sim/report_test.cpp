// lumora-sim's report: the goal each operation is held to, and tables a
// person and a spreadsheet can both read.
#include "host/sim/report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <tuple>

namespace lumora::sim {
namespace {

Measurement Row(double inactive, double active, double openmp, double copy_one, double copy_all,
                double arithmetic_gain = 2, CallPattern pattern = CallPattern::kOneCall) {
  Measurement m;
  m.name = "op";
  m.slots = "filt 0+11";
  m.rows = 100;
  m.pattern = pattern;
  m.rounds = {{inactive, active, openmp, copy_one, copy_all, arithmetic_gain}};
  m.identical = true;
  return m;
}

TEST(SimReport, EachKindOfWorkIsHeldToItsOwnGoal) {
  constexpr CallPattern kCalls = CallPattern::kBackToBack, kIdle = CallPattern::kAfterIdle;
  const std::tuple<Measurement, int, bool> cases[] = {
      // Compute-bound (one thread takes 5 times a copy): what arithmetic gained, and OpenMP's time.
      {Row(100, 51, 52, 20, 12), 2, true},       // 1.96x of arithmetic's 2x
      {Row(100, 53, 60, 20, 12), 2, false},      // 1.89x: 0.94 of it, though a copy gains less
      {Row(100, 68, 68, 20, 12, 1.5), 2, true},  // a machine that gives less asks less
      {Row(100, 51, 50.1, 20, 12), 2, true},     // 1.018 of OpenMP's time: parity
      {Row(100, 51, 49.9, 20, 12), 2, false},    // 1.022 of it
      // Memory-bound (1.5 times a copy, which gains 1.6x): what a copy gains.
      {Row(30, 19, 19.5, 20, 12.5), 2, true},  // 1.58x >= 0.95 * 1.6, far below arithmetic's
      {Row(30, 20, 21, 20, 12.5), 2, false},   // 1.5x < 1.52x
      // Back to back: 0.9 times the threads, at most 1.02 of OpenMP's time.
      {Row(100, 55, 54, 20, 12, 2, kCalls), 2, true},     // 1.82x, 1.019
      {Row(100, 55, 54, 20, 12, 2, kCalls), 3, false},    // 1.82x is not 2.7x
      {Row(100, 56, 60, 20, 12, 2, kCalls), 2, false},    // 1.79x
      {Row(100, 52, 50.8, 20, 12, 2, kCalls), 2, false},  // 1.024
      // After idle: 0.8 times the threads, at most half of OpenMP's time.
      {Row(100, 62, 125, 20, 12, 2, kIdle), 2, true},   // 1.61x, 0.496
      {Row(100, 63, 130, 20, 12, 2, kIdle), 2, false},  // 1.59x
      {Row(100, 55, 105, 20, 12, 2, kIdle), 2, false},  // 0.524
  };
  for (const auto &[m, threads, met] : cases) {
    EXPECT_EQ(m.MeetsGoal(threads), met) << m.ActiveMs() << " ms, OpenMP " << m.OpenMPMs() << " ms";
  }
}

TEST(SimReport, GainsAreTakenRoundByRoundSoASlowStretchCannotFavourAContender) {
  // The machine slowed down during the second round: its times are all long,
  // but within the round the module still gained as much.
  Measurement m = Row(100, 52, 53, 20, 12);
  m.rounds.push_back({300, 156, 150, 60, 36});
  m.rounds.push_back({102, 53, 54, 20, 12});
  EXPECT_DOUBLE_EQ(m.InactiveMs(), 102);
  EXPECT_DOUBLE_EQ(m.ActiveMs(), 53);
  EXPECT_DOUBLE_EQ(m.Speedup(), 100.0 / 52);       // the middle of 1.923, 1.923 and 1.925
  EXPECT_DOUBLE_EQ(m.RatioToOpenMP(), 53.0 / 54);  // the middle of 0.9811, 1.04 and 0.9815
  EXPECT_TRUE(m.MeetsGoal(2));
  m.rounds.pop_back();  // an even count takes the mean of the middle two
  EXPECT_DOUBLE_EQ(m.InactiveMs(), 200);
}

TEST(SimReport, TablesCountGoalsAndIdenticalOutputsAndShowAMismatchPlainly) {
  Measurement differs = Row(100, 53, 60, 20, 12);
  differs.identical = false;
  const std::vector<Measurement> rows = {Row(100, 51, 52, 20, 12), differs};
  RunSummary run{64, 32, 2, 3, "generated"};
  const std::string csv = Csv(run, rows);
  EXPECT_NE(csv.find(",met,yes\n"), std::string::npos);
  EXPECT_NE(csv.find(",missed,no\n"), std::string::npos);
  std::istringstream lines(csv);
  std::string heading, line;
  std::getline(lines, heading);
  while (std::getline(lines, line)) {
    EXPECT_EQ(std::count(line.begin(), line.end(), ','), std::count(heading.begin(), heading.end(), ','))
        << line;
  }
  const std::string table = Table(run, rows);
  EXPECT_NE(table.find(" missed NO\n"), std::string::npos);
  EXPECT_NE(table.find("identical to the module-inactive run: 1 of 2."), std::string::npos);
  EXPECT_NE(table.find("Speed goals met: 1 of 2"), std::string::npos);
  EXPECT_NE(Chart(run, {differs}).find(">1.89<"), std::string::npos);

  // An emulator's times judge no goal; the outputs are still compared.
  run.emulator = "QEMU TCG CPU version 2.5+";
  const std::string emulated = Table(run, rows);
  EXPECT_NE(emulated.find("emulated by \"QEMU TCG CPU version 2.5+\""), std::string::npos);
  EXPECT_NE(emulated.find(" -      NO\n"), std::string::npos);
  EXPECT_EQ(emulated.find(" met "), std::string::npos);
  EXPECT_EQ(emulated.find("Speed goals met"), std::string::npos);
  EXPECT_NE(emulated.find("identical to the module-inactive run: 1 of 2."), std::string::npos);
  EXPECT_NE(Csv(run, rows).find(",-,no\n"), std::string::npos);
}

}  // namespace
}  // namespace lumora::sim
