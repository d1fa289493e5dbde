// Pooled allocation speed: a poolAllocate + poolFree pair against a malloc +
// free pair of the same size (8, 64, 1000 and 8192 bytes), measured in the
// same run. Each pooled pair takes the pool lock twice and, after the first
// round, never reaches the heap. Prints the ratios of the runs, and the same
// ratios measured in alternating batches, against the targets.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/paired_ratio.h"
#include "bench/ratio_reporter.h"
#include "memory/pool.h"

namespace {

constexpr int kSizes[] = {8, 64, 1000, 8192};

void BM_MallocFree(benchmark::State& state) {
  const auto size = static_cast<size_t>(state.range(0));
  for (auto _ : state) {
    void* block = std::malloc(size);
    benchmark::DoNotOptimize(block);
    std::free(block);
  }
}

void BM_PoolAllocateFree(benchmark::State& state) {
  const auto size = static_cast<int32_t>(state.range(0));
  for (auto _ : state) {
    int32_t usable = 0;
    void* block = poolAllocate(size, &usable);
    benchmark::DoNotOptimize(block);
    poolFree(&usable, &block);
  }
}
// Each pool run right after the malloc run of the same size, so a change in
// the machine's load between them skews the ratio as little as possible.
BENCHMARK(BM_MallocFree)->Arg(8);
BENCHMARK(BM_PoolAllocateFree)->Arg(8);
BENCHMARK(BM_MallocFree)->Arg(64);
BENCHMARK(BM_PoolAllocateFree)->Arg(64);
BENCHMARK(BM_MallocFree)->Arg(1000);
BENCHMARK(BM_PoolAllocateFree)->Arg(1000);
BENCHMARK(BM_MallocFree)->Arg(8192);
BENCHMARK(BM_PoolAllocateFree)->Arg(8192);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  auto report = [](int size, double ratio) {
    const double target = size <= 64 ? 1.6 : 1.0;
    std::printf("%5d bytes: pool / malloc = %.2fx (target: at most %.1fx): %s\n", size, ratio, target,
                ratio <= target ? "met" : "MISSED");
  };
  for (int size : kSizes) {
    const std::string arg = "/" + std::to_string(size);
    const double heap = reporter.get("BM_MallocFree" + arg);
    const double pool = reporter.get("BM_PoolAllocateFree" + arg);
    if (heap > 0 && pool > 0) report(size, pool / heap);
  }
  std::printf("Measured in alternating batches (median of 201 rounds):\n");
  for (int size : kSizes) {
    const double ratio = pairedRatio(
        [&](int) {
          void* block = std::malloc(static_cast<size_t>(size));
          benchmark::DoNotOptimize(block);
          std::free(block);
        },
        [&](int) {
          int32_t usable = 0;
          void* block = poolAllocate(size, &usable);
          benchmark::DoNotOptimize(block);
          poolFree(&usable, &block);
        },
        20000, 201);
    report(size, ratio);
  }
  return 0;
}
