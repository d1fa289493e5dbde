// The soak's verdict on memory: the resident set sampled once a second must
// stay flat after a warm-up. The pool keeps the blocks it has cached, so the
// resident set levels off rather than falls; what is judged is that it stops
// growing: after the warm-up it grows by at most maxGrowth over its first
// sample, and over the last half of the samples its least-squares line rises
// by at most maxTrend of that first sample.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace cadence::soak {

struct MemoryBounds {
  double maxGrowth = 0.02;
  double maxTrend = 0.01;
};

struct MemoryVerdict {
  bool judged = false;  // enough samples after the warm-up (at least two)
  bool ok = true;
  uint64_t firstBytes = 0;  // the first sample after the warm-up
  uint64_t peakBytes = 0;   // the largest sample after it
  uint64_t lastBytes = 0;
  double growth = 0;  // (peak - first) / first
  double trend = 0;   // rise of the fitted line over the last half, / first
};

// The warm-up for a run of `seconds`: a third of it, at least 5 s (the
// population of listeners and the pool's caches settle within them) and at
// most 60 s.
int warmUpSeconds(int seconds);

// `samples` one a second from the start; the first `warmUpSamples` are not judged.
MemoryVerdict judgeResidentSet(const std::vector<uint64_t>& samples, size_t warmUpSamples,
                               const MemoryBounds& bounds = {});

// "41.3 MB"
std::string megabytes(uint64_t bytes);

}  // namespace cadence::soak
