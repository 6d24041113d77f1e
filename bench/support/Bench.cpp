#include "Bench.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <vector>

namespace bench {

namespace {

std::vector<Row>& rows() {
  static std::vector<Row> all;
  return all;
}

struct Stats {
  double median = 0;
  double min = 0;
  double max = 0;
};

Stats statsOf(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  const double median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
  return {median, v.front(), v.back()};
}

std::string format(double value, Unit unit) {
  char buf[32];
  if (unit == Unit::Bytes)
    std::snprintf(buf, sizeof buf, "%.1f MB", value / 1e6);
  else if (value < 1e5)
    std::snprintf(buf, sizeof buf, "%.1f us", value / 1e3);
  else
    std::snprintf(buf, sizeof buf, "%.2f ms", value / 1e6);
  return buf;
}

std::string formatStats(const Stats& s, Unit unit) {
  return format(s.median, unit) + " [" + format(s.min, unit) + ".." + format(s.max, unit) + "]";
}

std::string formatGoal(const Goal& g) {
  std::string text;
  char buf[32];
  if (g.maxRatio > 0) {
    std::snprintf(buf, sizeof buf, "<= %.2fx", g.maxRatio);
    text = buf;
  }
  if (g.maxValue > 0)
    text += (text.empty() ? "<= " : ", <= ") + format(g.maxValue, g.unit);
  return text.empty() ? "-" : text;
}

} // namespace

int add(Row row) {
  rows().push_back(std::move(row));
  return static_cast<int>(rows().size());
}

// Runs the rows whose area or name contains one of the filters (all rows
// without filters) and prints the table. Returns the number of goals missed.
int runAll(const std::vector<std::string>& filters) {
  std::printf("Medians [min..max] of interleaved repetitions; ratio = subject median / floor median.\n\n");
  std::printf("%-10s %-56s %-30s %-44s %-30s %8s %-20s %s\n", "area", "subject", "median [min..max]", "floor",
              "median [min..max]", "ratio", "goal", "met");
  std::fflush(stdout);
  int goals = 0;
  int met = 0;
  std::vector<std::string> missed;
  for (const Row& row : rows()) {
    const bool wanted =
        filters.empty() || std::any_of(filters.begin(), filters.end(), [&](const std::string& f) {
          return row.area.find(f) != std::string::npos || row.name.find(f) != std::string::npos;
        });
    if (!wanted)
      continue;
    const Samplers samplers = row.setUp();
    if (!samplers.skipped.empty()) {
      std::printf("%-10s %-56s skipped: %s\n", row.area.c_str(), row.name.c_str(), samplers.skipped.c_str());
      continue;
    }
    // One warm-up sample of each, then floor and subject in turn, the order
    // swapped every repetition so that neither always runs first.
    samplers.floor();
    samplers.subject();
    std::vector<double> floor;
    std::vector<double> subject;
    for (int i = 0; i < row.repetitions; ++i) {
      if (i % 2 == 0) {
        floor.push_back(samplers.floor());
        subject.push_back(samplers.subject());
      } else {
        subject.push_back(samplers.subject());
        floor.push_back(samplers.floor());
      }
    }
    const Stats f = statsOf(floor);
    const Stats s = statsOf(subject);
    const double ratio = s.median / f.median;
    const Goal& g = row.goal;
    const bool hasGoal = g.maxRatio > 0 || g.maxValue > 0;
    const bool ok = (g.maxRatio <= 0 || ratio <= g.maxRatio) && (g.maxValue <= 0 || s.median <= g.maxValue);
    if (hasGoal) {
      ++goals;
      met += ok;
      if (!ok)
        missed.push_back(row.area + ": " + row.name);
    }
    std::printf("%-10s %-56s %-30s %-44s %-30s %7.2fx %-20s %s\n", row.area.c_str(), row.name.c_str(),
                formatStats(s, g.unit).c_str(), row.floorName.c_str(), formatStats(f, g.unit).c_str(), ratio,
                formatGoal(g).c_str(), hasGoal ? (ok ? "yes" : "NO") : "");
    std::fflush(stdout);
  }
  std::printf("\n%d of %d goals met.\n", met, goals);
  for (const std::string& m : missed)
    std::printf("  not met: %s\n", m.c_str());
  return goals - met;
}

} // namespace bench
