// Ratios of two pieces of code measured in alternating batches. The machine
// is shared, so a ratio of two runs made seconds apart can be off by the load
// that changed in between; here both sides run batch after batch, in turns,
// and the median of the per-round ratios is kept.
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
// `batch` calls of baseline(i), then `batch` calls of candidate(i). `times`,
// when given, receives each side's median time per call.
template <class Prepare, class Baseline, class Candidate>
double pairedRatio(Prepare&& prepare, Baseline&& baseline, Candidate&& candidate, int batch, int rounds = 21,
                   PairedTimes* times = nullptr) {
  using Clock = std::chrono::steady_clock;
  std::vector<double> ratios, baselines, candidates;
  for (int r = 0; r < rounds; ++r) {
    prepare();
    const auto t0 = Clock::now();
    for (int i = 0; i < batch; ++i) baseline(i);
    const auto t1 = Clock::now();
    for (int i = 0; i < batch; ++i) candidate(i);
    const auto t2 = Clock::now();
    const double base = std::chrono::duration<double>(t1 - t0).count();
    const double cand = std::chrono::duration<double>(t2 - t1).count();
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
