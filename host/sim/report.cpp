#include "host/sim/report.h"

#include <algorithm>
#include <cstdio>

namespace lumora::sim {
namespace {

template <typename... Ts>
std::string Format(const char *format, Ts... values) {
  char line[512];
  std::snprintf(line, sizeof line, format, values...);
  return line;
}

const char *Kind(const Measurement &m) {
  switch (m.pattern) {
    case CallPattern::kBackToBack:
      return "calls";
    case CallPattern::kAfterIdle:
      return "idle";
    case CallPattern::kOneCall:
      break;
  }
  return m.MemoryBound() ? "memory" : "compute";
}

// The median over the rounds of what `of` says of each; 0 without rounds.
template <typename Of>
double MedianOver(const std::vector<Round> &rounds, Of of) {
  std::vector<double> values;
  for (const Round &round : rounds) values.push_back(of(round));
  return Median(values);
}

// The goal column: met or missed, or "-" where an emulator's times judge nothing.
const char *Goal(const RunSummary &run, const Measurement &m) {
  if (!run.emulator.empty()) return "-";
  return m.MeetsGoal(run.threads) ? "met" : "missed";
}

}  // namespace

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Measurement::InactiveMs() const {
  return MedianOver(rounds, [](const Round &r) { return r.inactive_ms; });
}
double Measurement::ActiveMs() const {
  return MedianOver(rounds, [](const Round &r) { return r.active_ms; });
}
double Measurement::OpenMPMs() const {
  return MedianOver(rounds, [](const Round &r) { return r.openmp_ms; });
}
double Measurement::Speedup() const {
  return MedianOver(rounds, [](const Round &r) { return r.inactive_ms / r.active_ms; });
}
double Measurement::OpenMPSpeedup() const {
  return MedianOver(rounds, [](const Round &r) { return r.inactive_ms / r.openmp_ms; });
}
double Measurement::CopySpeedup() const {
  return MedianOver(rounds, [](const Round &r) { return r.copy_one_ms / r.copy_all_ms; });
}
double Measurement::ArithmeticGain() const {
  return MedianOver(rounds, [](const Round &r) { return r.arithmetic_gain; });
}
double Measurement::SpeedupOverArithmetic() const {
  return MedianOver(rounds, [](const Round &r) { return r.inactive_ms / r.active_ms / r.arithmetic_gain; });
}
double Measurement::RatioToOpenMP() const {
  return MedianOver(rounds, [](const Round &r) { return r.active_ms / r.openmp_ms; });
}
bool Measurement::MemoryBound() const {
  return InactiveMs() <= 2 * MedianOver(rounds, [](const Round &r) { return r.copy_one_ms; });
}

bool Measurement::MeetsGoal(int threads) const {
  if (pattern == CallPattern::kBackToBack) return Speedup() >= 0.9 * threads && RatioToOpenMP() <= 1.02;
  if (pattern == CallPattern::kAfterIdle) return Speedup() >= 0.8 * threads && RatioToOpenMP() <= 0.5;
  const bool fast_enough = MemoryBound() ? Speedup() >= 0.95 * CopySpeedup() : SpeedupOverArithmetic() >= 0.97;
  return fast_enough && RatioToOpenMP() <= 1.02;
}

std::string Table(const RunSummary &run, const std::vector<Measurement> &rows) {
  std::string text = Format("lumora-sim: %s (%s), %d processors\n", run.module_file.c_str(),
                            run.target.c_str(), run.processors);
  if (!run.emulator.empty()) {
    text += Format("emulated by \"%s\": the times are the emulator's, not the module's, and judge no goal\n",
                   run.emulator.c_str());
  }
  text += Format(
      "%s image, %d x %d RGBA, %d threads, median of %d round%s\n"
      "(a round runs an operation inactive, active, as OpenMP and as memcpy, back to back)\n\n",
      run.source.c_str(), run.width, run.height, run.threads, run.repeat, run.repeat == 1 ? "" : "s");
  text += Format("%-14s %-10s %-7s %5s %10s %9s %9s %8s %9s %7s %6s %-6s %s\n", "operation", "slots", "kind",
                 "rows", "inactive", "active", "OpenMP", "speedup", "/OpenMP", "memcpy", "arith", "goal",
                 "identical");
  text += Format("%-14s %-10s %-7s %5s %10s %9s %9s %8s %9s %7s %6s %-6s %s\n", "", "", "", "", "ms", "ms", "ms",
                 "x", "ratio", "x", "x", "", "");
  int identical = 0, met = 0;
  for (const Measurement &m : rows) {
    text += Format("%-14s %-10s %-7s %5d %10.2f %9.2f %9.2f %8.2f %9.3f %7.2f %6.2f %-6s %s\n",
                   m.name.c_str(), m.slots.c_str(), Kind(m), m.rows, m.InactiveMs(), m.ActiveMs(), m.OpenMPMs(),
                   m.Speedup(), m.RatioToOpenMP(), m.CopySpeedup(), m.ArithmeticGain(),
                   Goal(run, m), m.identical ? "yes" : "NO");
    identical += m.identical ? 1 : 0;
    met += m.MeetsGoal(run.threads) ? 1 : 0;
  }
  text += "\n";
  text += Format("Outputs identical to the module-inactive run: %d of %d.\n", identical, int(rows.size()));
  const std::string load = run.load < 0 ? "" : Format("; load average %.1f", run.load);
  text += Format(
      "arith: what %d threads gained on a loop of pure arithmetic in the same rounds, the most that\n"
      "compute-bound work could gain on this machine meanwhile (over the whole run: median %.2fx, least\n"
      "%.2fx%s).\n",
      run.threads, run.compute_ceiling, run.least_compute_ceiling, load.c_str());
  if (!run.emulator.empty()) {
    text += "Speed goals: not judged, the times being an emulator's.\n";
    return text;
  }
  text += Format(
      "Speed goals met: %d of %d (compute-bound: speedup >= 0.97 x arith in the same rounds; memory-bound:\n"
      ">= 0.95 x memcpy's; both: at most 1.02 of OpenMP's time; calls back to back: speedup >= %.2f, at\n"
      "most 1.02 of OpenMP's time; after idle: speedup >= %.2f, at most half of OpenMP's time). Timings\n"
      "vary on a busy machine; the goals do not set the exit status.\n",
      met, int(rows.size()), 0.9 * run.threads, 0.8 * run.threads);
  return text;
}

std::string Csv(const RunSummary &run, const std::vector<Measurement> &rows) {
  std::string text =
      "operation,slots,kind,rows,inactive_ms,active_ms,openmp_ms,speedup,openmp_ratio,memcpy_speedup,"
      "arithmetic_gain,goal,identical\n";
  for (const Measurement &m : rows) {
    text += Format("%s,%s,%s,%d,%.3f,%.3f,%.3f,%.3f,%.3f,%.3f,%.3f,%s,%s\n", m.name.c_str(), m.slots.c_str(),
                   Kind(m), m.rows, m.InactiveMs(), m.ActiveMs(), m.OpenMPMs(), m.Speedup(), m.RatioToOpenMP(),
                   m.CopySpeedup(), m.ArithmeticGain(), Goal(run, m),
                   m.identical ? "yes" : "no");
  }
  return text;
}

std::string Chart(const RunSummary &run, const std::vector<Measurement> &rows) {
  constexpr int kLabel = 130, kPlot = 520, kBar = 14, kGroup = 44, kTop = 56;
  double top = run.threads;
  for (const Measurement &m : rows) top = std::max({top, m.Speedup(), m.OpenMPSpeedup(), m.CopySpeedup()});
  top *= 1.1;
  const int height = kTop + int(rows.size()) * kGroup + 40;
  const auto x = [&](double speedup) { return kLabel + speedup / top * kPlot; };

  std::string svg = Format(
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" font-family=\"sans-serif\" "
      "font-size=\"12\">\n<rect width=\"100%%\" height=\"100%%\" fill=\"white\"/>\n",
      kLabel + kPlot + 70, height);
  svg += Format(
      "<text x=\"10\" y=\"20\" font-size=\"15\">Speedup over the host's own routines (%d threads, %d x "
      "%d)</text>\n",
      run.threads, run.width, run.height);
  svg += Format(
      "<rect x=\"10\" y=\"30\" width=\"12\" height=\"12\" fill=\"#2b6cb0\"/><text x=\"28\" "
      "y=\"41\">Rowfork</text>"
      "<rect x=\"100\" y=\"30\" width=\"12\" height=\"12\" fill=\"#a0aec0\"/><text x=\"118\" "
      "y=\"41\">OpenMP</text><text x=\"200\" y=\"41\" fill=\"#555\">%s%s</text>\n",
      run.target.c_str(), run.emulator.empty() ? "" : ", emulated: the emulator's times");
  for (int t = 1; t <= run.threads; ++t) {
    svg += Format(
        "<line x1=\"%.1f\" y1=\"%d\" x2=\"%.1f\" y2=\"%d\" stroke=\"#888\" stroke-dasharray=\"4 3\"/>"
        "<text x=\"%.1f\" y=\"%d\" text-anchor=\"middle\">%dx</text>\n",
        x(t), kTop - 6, x(t), height - 30, x(t), height - 14, t);
  }
  for (size_t i = 0; i < rows.size(); ++i) {
    const Measurement &m = rows[i];
    const int y = kTop + int(i) * kGroup;
    svg += Format("<text x=\"10\" y=\"%d\">%s</text>\n", y + kBar + 4, m.name.c_str());
    svg += Format(
        "<rect x=\"%d\" y=\"%d\" width=\"%.1f\" height=\"%d\" fill=\"#2b6cb0\"/>"
        "<text x=\"%.1f\" y=\"%d\">%.2f</text>\n",
        kLabel, y, x(m.Speedup()) - kLabel, kBar, x(m.Speedup()) + 4, y + kBar - 2, m.Speedup());
    svg += Format(
        "<rect x=\"%d\" y=\"%d\" width=\"%.1f\" height=\"%d\" fill=\"#a0aec0\"/>"
        "<text x=\"%.1f\" y=\"%d\">%.2f</text>\n",
        kLabel, y + kBar + 2, x(m.OpenMPSpeedup()) - kLabel, kBar, x(m.OpenMPSpeedup()) + 4, y + 2 * kBar,
        m.OpenMPSpeedup());
    if (m.MemoryBound()) {
      // What a copy of the same bytes gained: the ceiling of memory-bound work.
      svg += Format(
          "<line x1=\"%.1f\" y1=\"%d\" x2=\"%.1f\" y2=\"%d\" stroke=\"#c53030\" stroke-width=\"2\"/>"
          "<text x=\"%.1f\" y=\"%d\" fill=\"#c53030\" font-size=\"10\">memcpy</text>\n",
          x(m.CopySpeedup()), y - 3, x(m.CopySpeedup()), y + 2 * kBar + 5, x(m.CopySpeedup()) - 16, y - 5);
    }
  }
  svg += "</svg>\n";
  return svg;
}

}  // namespace lumora::sim
