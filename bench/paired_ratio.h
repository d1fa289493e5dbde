// Ratios of two pieces of code measured in alternating batches. The machine
// is shared, so a ratio of two runs made seconds apart can be off by the load
// that changed in between; here both sides run batch after batch, in turns,
// and the median of the per-round ratios is kept.
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

// candidate time / baseline time. Each round runs `prepare` (not timed), then
// `batch` calls of baseline(i), then `batch` calls of candidate(i).
template <class Prepare, class Baseline, class Candidate>
double pairedRatio(Prepare&& prepare, Baseline&& baseline, Candidate&& candidate, int batch, int rounds = 21) {
  using Clock = std::chrono::steady_clock;
  std::vector<double> ratios;
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
  }
  if (ratios.empty()) return -1;
  std::nth_element(ratios.begin(), ratios.begin() + static_cast<std::ptrdiff_t>(ratios.size() / 2), ratios.end());
  return ratios[ratios.size() / 2];
}

template <class Baseline, class Candidate>
double pairedRatio(Baseline&& baseline, Candidate&& candidate, int batch, int rounds = 21) {
  return pairedRatio([] {}, baseline, candidate, batch, rounds);
}
