#pragma once
// The benchmark table. A row compares a subject with a floor measured in the
// same run: both are sampled in turn (floor, subject, subject, floor, ...) and
// the table shows each one's median with its min and max, their ratio, the
// row's goal and whether it is met.
//
// Adding a row takes one function and one registration line:
//
//   static bench::Samplers myRow() {
//     auto fixture = std::make_shared<Something>();        // set up once
//     return {[=] { return bench::timeNs([&] { floorWork(*fixture); }); },
//             [=] { return bench::timeNs([&] { subjectWork(*fixture); }); }};
//   }
//   BENCH_ROW("area", "what is measured", "the floor", bench::ratioAtMost(1.5), myRow);
//
// A sampler returns one sample: nanoseconds for time rows, bytes for memory
// rows (bench::Unit::Bytes in the row's goal).
#include <chrono>
#include <functional>
#include <string>

namespace bench {

enum class Unit { Nanoseconds, Bytes };

// What a row must show to be met. Either bound may be absent (0).
struct Goal {
  double maxRatio = 0; // subject median / floor median
  double maxValue = 0; // subject median, in the row's unit (ns or bytes)
  Unit unit = Unit::Nanoseconds;
};

inline Goal ratioAtMost(double ratio, Unit unit = Unit::Nanoseconds) { return {ratio, 0, unit}; }
inline Goal msAtMost(double ms) { return {0, ms * 1e6, Unit::Nanoseconds}; }
inline Goal ratioAndMsAtMost(double ratio, double ms) { return {ratio, ms * 1e6, Unit::Nanoseconds}; }
inline Goal noGoal(Unit unit = Unit::Nanoseconds) { return {0, 0, unit}; }

using Sampler = std::function<double()>;
struct Samplers {
  Sampler floor;
  Sampler subject;
  std::string skipped = {}; // why the row cannot run here, instead of the samplers
};

struct Row {
  std::string area;
  std::string name;
  std::string floorName;
  Goal goal;
  std::function<Samplers()> setUp; // called once, right before the row runs
  int repetitions = 15;
};

// Registers a row; rows run in the order of their areas' registration.
int add(Row row);

// The wall time of one call of fn, in nanoseconds.
template <class F> double timeNs(F&& fn) {
  const auto t0 = std::chrono::steady_clock::now();
  fn();
  return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0).count();
}

// Keeps the optimiser from dropping a result.
template <class T> void keep(const T& value) { asm volatile("" : : "g"(&value) : "memory"); }

} // namespace bench

#define BENCH_CONCAT2(a, b) a##b
#define BENCH_CONCAT(a, b) BENCH_CONCAT2(a, b)
// BENCH_ROW(area, name, floor name, goal, set-up function [, repetitions])
#define BENCH_ROW(area, name, floorName, goal, ...)                                                          \
  static const int BENCH_CONCAT(benchRow_, __LINE__) =                                                       \
      bench::add(bench::Row{area, name, floorName, goal, __VA_ARGS__})
