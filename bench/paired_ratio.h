// Ratios of two pieces of code measured in alternating batches. The machine
// is shared, so a ratio of two runs made seconds apart can be off by the load
// that changed in between; here both sides run batch after batch, in turns,
// and the median of the per-round ratios is kept. The side that goes first
// changes every round, so a disturbance that recurs at the rounds' pace
// falls on both sides alike.
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

// The median time of one call on each side, in nanoseconds.
struct PairedTimes {
  double baselineNs = 0;
  double candidateNs = 0;
};

// candidate time / baseline time. Each round runs `prepare` (not timed), then
// `batch` calls of baseline(i) and `batch` calls of candidate(i), in turns
// baseline first and candidate first. `times`, when given, receives each
// side's median time per call.
template <class Prepare, class Baseline, class Candidate>
double pairedRatio(Prepare&& prepare, Baseline&& baseline, Candidate&& candidate, int batch, int rounds = 21,
                   PairedTimes* times = nullptr) {
  using Clock = std::chrono::steady_clock;
  std::vector<double> ratios, baselines, candidates;
  auto timed = [batch](auto& calls) {
    const auto start = Clock::now();
    for (int i = 0; i < batch; ++i) calls(i);
    return std::chrono::duration<double>(Clock::now() - start).count();
  };
  for (int r = 0; r < rounds; ++r) {
    prepare();
    double base = 0, cand = 0;
    if (r % 2 == 0) {
      base = timed(baseline);
      cand = timed(candidate);
    } else {
      cand = timed(candidate);
      base = timed(baseline);
    }
    if (base > 0) ratios.push_back(cand / base);
    baselines.push_back(base * 1e9 / batch);
    candidates.push_back(cand * 1e9 / batch);
  }
  auto median = [](std::vector<double>& v) {
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
  };
  if (times && rounds > 0) *times = {median(baselines), median(candidates)};
  if (ratios.empty()) return -1;
  std::nth_element(ratios.begin(), ratios.begin() + static_cast<std::ptrdiff_t>(ratios.size() / 2), ratios.end());
  return ratios[ratios.size() / 2];
}

template <class Baseline, class Candidate>
double pairedRatio(Baseline&& baseline, Candidate&& candidate, int batch, int rounds = 21) {
  return pairedRatio([] {}, baseline, candidate, batch, rounds);
}
