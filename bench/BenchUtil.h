#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace bench {

// The best time of one run of fn, in nanoseconds: fn runs at least `runs`
// times and for at least minSeconds. The best run is the one least disturbed
// by the rest of the machine.
template <class F> double bestNs(F&& fn, int runs = 5, double minSeconds = 0.2) {
  using clock = std::chrono::steady_clock;
  std::vector<double> times;
  const auto start = clock::now();
  while (static_cast<int>(times.size()) < runs ||
         std::chrono::duration<double>(clock::now() - start).count() < minSeconds) {
    const auto t0 = clock::now();
    fn();
    times.push_back(std::chrono::duration<double, std::nano>(clock::now() - t0).count());
    if (times.size() > 10000)
      break;
  }
  return *std::min_element(times.begin(), times.end());
}

// One line: "what: 1.234 ms = 3.2 x baseline (0.385 ms)".
inline void report(const char* what, double ns, const char* baseline, double baselineNs) {
  std::printf("%-48s %10.3f ms = %7.2f x %s (%.3f ms)\n", what, ns / 1e6, ns / baselineNs, baseline,
              baselineNs / 1e6);
  std::fflush(stdout);
}

// Keeps the optimiser from dropping a result.
template <class T> void keep(const T& value) {
  asm volatile("" : : "g"(&value) : "memory");
}

} // namespace bench

// Each area's benchmarks, run by bench_main.cpp in this order.
void benchWrite();
void benchRead();
void benchStartup();
