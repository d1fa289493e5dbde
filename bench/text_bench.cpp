// Placeholder substitution speed: VelString::substituteArgs with three
// arguments against QString::arg with three, on a short and a longer message.
// substituteArgs works in place on an owned text, so it runs over a batch of
// owned copies of the pattern made beforehand, outside the timed part; both
// sides are timed by the same clock over batches of the same size. The cost
// of making the copy as well is shown too. Prints the ratios of the runs, and
// the ratio measured in alternating batches.
#include <benchmark/benchmark.h>

#include <QString>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/paired_ratio.h"
#include "bench/ratio_reporter.h"
#include "cadencehost/vel_string.h"

namespace {

const char* const kPatterns[] = {
    "Could not write %1 bytes to %2 (%3 left)",
    "The file %2 could not be written: %1 bytes are needed, but the disk holding it has only %3 bytes free.",
};
const char kArg1[] = "4096";
const char kArg2[] = "C:/Temp/spill.tmp";
const char kArg3[] = "12";

constexpr int kBatch = 1000;

// Runs `batch` once per benchmark iteration, timing it alone: the times
// shown are per batch of kBatch calls.
template <class Prepare, class Batch>
void timeBatches(benchmark::State& state, Prepare prepare, Batch batch) {
  for (auto _ : state) {
    prepare();
    const auto start = std::chrono::steady_clock::now();
    batch();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count());
  }
}

void BM_QStringArg(benchmark::State& state) {
  const QString pattern = QString::fromLatin1(kPatterns[state.range(0)]);
  const QString a = QString::fromLatin1(kArg1), b = QString::fromLatin1(kArg2), c = QString::fromLatin1(kArg3);
  timeBatches(state, [] {}, [&] {
    for (int i = 0; i < kBatch; ++i) {
      QString result = pattern.arg(a, b, c);
      benchmark::DoNotOptimize(result.constData());
    }
  });
}
BENCHMARK(BM_QStringArg)->Arg(0)->Arg(1)->UseManualTime()->Repetitions(5);

void BM_SubstituteArgs(benchmark::State& state) {
  const VelString pattern(kPatterns[state.range(0)]);
  const VelString a(kArg1), b(kArg2), c(kArg3);
  const VelString* args[] = {&a, &b, &c, nullptr};
  std::vector<VelString> texts(kBatch);
  timeBatches(
      state, [&] {
        for (VelString& text : texts) text = pattern;  // an owned copy, as a translated text is
      },
      [&] {
        for (VelString& text : texts) {
          text.substituteArgs(args);
          benchmark::DoNotOptimize(text.text);
        }
      });
}
BENCHMARK(BM_SubstituteArgs)->Arg(0)->Arg(1)->UseManualTime()->Repetitions(5);

void BM_CopyAndSubstituteArgs(benchmark::State& state) {
  const VelString pattern(kPatterns[state.range(0)]);
  const VelString a(kArg1), b(kArg2), c(kArg3);
  const VelString* args[] = {&a, &b, &c, nullptr};
  timeBatches(state, [] {}, [&] {
    for (int i = 0; i < kBatch; ++i) {
      VelString result(pattern);
      result.substituteArgs(args);
      benchmark::DoNotOptimize(result.text);
    }
  });
}
BENCHMARK(BM_CopyAndSubstituteArgs)->Arg(0)->Arg(1)->UseManualTime()->Repetitions(5);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  for (int p = 0; p < 2; ++p) {
    const std::string arg = "/" + std::to_string(p);
    const double qt = reporter.get("BM_QStringArg" + arg) / kBatch;
    const double substitute = reporter.get("BM_SubstituteArgs" + arg) / kBatch;
    const double both = reporter.get("BM_CopyAndSubstituteArgs" + arg) / kBatch;
    if (qt <= 0) continue;
    std::printf("pattern %d: per call: QString::arg %.1f ns, substituteArgs %.1f ns, copy + substituteArgs %.1f ns\n",
                p, qt, substitute, both);
    if (both > 0) std::printf("pattern %d: QString::arg / (copy + substituteArgs) = %.2fx\n", p, qt / both);
    if (substitute > 0) {
      const double ratio = qt / substitute;
      std::printf("pattern %d: QString::arg / substituteArgs = %.2fx (target: at least 2x): %s\n", p, ratio,
                  ratio >= 2.0 ? "met" : "MISSED");
    }
  }
  std::printf("Measured in alternating batches (median of 201 rounds):\n");
  for (int p = 0; p < 2; ++p) {
    const QString pattern = QString::fromLatin1(kPatterns[p]);
    const QString qa = QString::fromLatin1(kArg1), qb = QString::fromLatin1(kArg2), qc = QString::fromLatin1(kArg3);
    const VelString velPattern(kPatterns[p]);
    const VelString a(kArg1), b(kArg2), c(kArg3);
    const VelString* args[] = {&a, &b, &c, nullptr};
    std::vector<VelString> texts(kBatch);
    PairedTimes times;
    const double substituteOverQt = pairedRatio(
        [&] {
          for (VelString& text : texts) text = velPattern;
        },
        [&](int) {
          QString result = pattern.arg(qa, qb, qc);
          benchmark::DoNotOptimize(result.constData());
        },
        [&](int i) {
          texts[static_cast<size_t>(i)].substituteArgs(args);
          benchmark::DoNotOptimize(texts[static_cast<size_t>(i)].text);
        },
        kBatch, 201, &times);
    const double ratio = substituteOverQt > 0 ? 1.0 / substituteOverQt : 0.0;
    std::printf("pattern %d: QString::arg / substituteArgs = %.2fx (target: at least 2x): %s"
                " (per call: %.1f ns / %.1f ns)\n",
                p, ratio, ratio >= 2.0 ? "met" : "MISSED", times.baselineNs, times.candidateNs);
  }
  return 0;
}
