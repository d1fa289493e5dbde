// The resident-set verdict of the soak.
#include "tests/soak/memory_trend.h"

#include <algorithm>
#include <cstdio>

namespace cadence::soak {
namespace {

// Slope of the least-squares line through samples[begin, end), per sample.
double slope(const std::vector<uint64_t>& samples, size_t begin, size_t end) {
  const double n = static_cast<double>(end - begin);
  double sumX = 0, sumY = 0, sumXY = 0, sumXX = 0;
  for (size_t i = begin; i < end; ++i) {
    const double x = static_cast<double>(i - begin), y = static_cast<double>(samples[i]);
    sumX += x;
    sumY += y;
    sumXY += x * y;
    sumXX += x * x;
  }
  const double denominator = n * sumXX - sumX * sumX;
  return denominator == 0 ? 0.0 : (n * sumXY - sumX * sumY) / denominator;
}

}  // namespace

int warmUpSeconds(int seconds) { return std::clamp(seconds / 3, 5, 60); }

MemoryVerdict judgeResidentSet(const std::vector<uint64_t>& samples, size_t warmUpSamples, const MemoryBounds& bounds) {
  MemoryVerdict verdict;
  if (samples.size() < warmUpSamples + 2) return verdict;
  verdict.judged = true;
  verdict.firstBytes = samples[warmUpSamples];
  verdict.lastBytes = samples.back();
  verdict.peakBytes = *std::max_element(samples.begin() + static_cast<std::ptrdiff_t>(warmUpSamples), samples.end());
  const auto first = static_cast<double>(verdict.firstBytes);
  if (first <= 0) return verdict;
  verdict.growth = static_cast<double>(verdict.peakBytes - verdict.firstBytes) / first;
  const size_t judged = samples.size() - warmUpSamples;
  const size_t halfBegin = warmUpSamples + judged / 2;
  const size_t halfLength = samples.size() - halfBegin;
  if (halfLength >= 2) {
    verdict.trend = slope(samples, halfBegin, samples.size()) * static_cast<double>(halfLength - 1) / first;
  }
  verdict.ok = verdict.growth <= bounds.maxGrowth && verdict.trend <= bounds.maxTrend;
  return verdict;
}

std::string megabytes(uint64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / 1e6);
  return text;
}

}  // namespace cadence::soak
