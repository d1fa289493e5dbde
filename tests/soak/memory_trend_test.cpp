// The soak's memory verdict: flat or levelling-off resident sets pass, steady
// growth and a late creep fail, the warm-up is not judged.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/soak/memory_trend.h"

namespace cadence::soak {
namespace {

constexpr uint64_t kBase = 40'000'000;

std::vector<uint64_t> samples(int count, double (*shape)(int second)) {
  std::vector<uint64_t> out;
  for (int i = 0; i < count; ++i) out.push_back(static_cast<uint64_t>(static_cast<double>(kBase) * shape(i)));
  return out;
}

TEST(MemoryTrend, FlatAndLevellingOffResidentSetsPass) {
  const auto flat = judgeResidentSet(samples(60, [](int) { return 1.0; }), 15);
  EXPECT_TRUE(flat.judged);
  EXPECT_TRUE(flat.ok);
  EXPECT_DOUBLE_EQ(flat.growth, 0.0);
  EXPECT_EQ(flat.firstBytes, kBase);
  // Rising through the warm-up, then a plateau: the pool keeps what it cached.
  const auto plateau = judgeResidentSet(samples(60, [](int s) { return s < 10 ? 0.5 + 0.05 * s : 1.0; }), 15);
  EXPECT_TRUE(plateau.ok) << plateau.growth;
  // A step of 1.5 % early after the warm-up, then flat.
  const auto step = judgeResidentSet(samples(60, [](int s) { return s < 20 ? 1.0 : 1.015; }), 15);
  EXPECT_TRUE(step.ok) << step.growth << " " << step.trend;
  EXPECT_NEAR(step.growth, 0.015, 1e-6);
  // Page-sized noise of half a percent either way.
  const auto noisy = judgeResidentSet(samples(60, [](int s) { return 1.0 + 0.005 * std::sin(s * 1.7); }), 15);
  EXPECT_TRUE(noisy.ok) << noisy.growth << " " << noisy.trend;
}

TEST(MemoryTrend, GrowthPastTheBoundOrARisingLastHalfFails) {
  // A leak of 0.1 % a second: 4.5 % after the warm-up of a minute's run.
  const auto leak = judgeResidentSet(samples(60, [](int s) { return 1.0 + 0.001 * s; }), 15);
  EXPECT_FALSE(leak.ok);
  EXPECT_NEAR(leak.growth, 0.044, 1e-3);
  EXPECT_EQ(leak.peakBytes, leak.lastBytes);
  // A creep that stays within 2 % overall but rises 1.5 % over the last half.
  const auto creep = judgeResidentSet(samples(60, [](int s) { return s < 38 ? 1.0 : 1.0 + 0.0007 * (s - 38); }), 15);
  EXPECT_LE(creep.growth, 0.02);
  EXPECT_GT(creep.trend, 0.01);
  EXPECT_FALSE(creep.ok);
  // Falling memory is no growth.
  const auto falling = judgeResidentSet(samples(60, [](int s) { return 1.0 - 0.001 * s; }), 15);
  EXPECT_TRUE(falling.ok);
  EXPECT_LT(falling.trend, 0);
}

TEST(MemoryTrend, TheWarmUpIsAThirdOfTheRunWithinFiveToSixtySecondsAndIsNotJudged) {
  EXPECT_EQ(warmUpSeconds(5), 5);
  EXPECT_EQ(warmUpSeconds(12), 5);
  EXPECT_EQ(warmUpSeconds(30), 10);
  EXPECT_EQ(warmUpSeconds(60), 20);
  EXPECT_EQ(warmUpSeconds(1800), 60);
  EXPECT_FALSE(judgeResidentSet(samples(16, [](int) { return 1.0; }), 15).judged);  // one sample after it
  const auto doubled = judgeResidentSet(samples(20, [](int s) { return s < 15 ? 1.0 + s : 16.0; }), 15);
  EXPECT_TRUE(doubled.judged);
  EXPECT_TRUE(doubled.ok);
  EXPECT_EQ(megabytes(41'260'000), "41.3 MB");
}

}  // namespace
}  // namespace cadence::soak
