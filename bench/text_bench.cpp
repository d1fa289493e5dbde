// Placeholder substitution speed: VelString::substituteArgs with three
// arguments against QString::arg with three, on a short and a longer message.
// substituteArgs works in place on an owned text, so each round first makes
// an owned copy of the pattern; that copy is measured on its own as well and
// subtracted to give the time of the substitution itself. Prints the ratios.
#include <benchmark/benchmark.h>

#include <QString>
#include <cstdio>
#include <string>

#include "bench/ratio_reporter.h"
#include "text/vel_string.h"

namespace {

const char* const kPatterns[] = {
    "Could not write %1 bytes to %2 (%3 left)",
    "The file %2 could not be written: %1 bytes are needed, but the disk holding it has only %3 bytes free.",
};
const char kArg1[] = "4096";
const char kArg2[] = "C:/Temp/spill.tmp";
const char kArg3[] = "12";

void BM_QStringArg(benchmark::State& state) {
  const QString pattern = QString::fromLatin1(kPatterns[state.range(0)]);
  const QString a = QString::fromLatin1(kArg1), b = QString::fromLatin1(kArg2), c = QString::fromLatin1(kArg3);
  for (auto _ : state) {
    QString result = pattern.arg(a, b, c);
    benchmark::DoNotOptimize(result.constData());
  }
}
BENCHMARK(BM_QStringArg)->Arg(0)->Arg(1)->Repetitions(5);

void BM_CopyAndSubstituteArgs(benchmark::State& state) {
  const VelString pattern(kPatterns[state.range(0)]);
  const VelString a(kArg1), b(kArg2), c(kArg3);
  const VelString* args[] = {&a, &b, &c, nullptr};
  for (auto _ : state) {
    VelString result(pattern);  // an owned copy, as a translated text is
    result.substituteArgs(args);
    benchmark::DoNotOptimize(result.text);
  }
}
BENCHMARK(BM_CopyAndSubstituteArgs)->Arg(0)->Arg(1)->Repetitions(5);

void BM_CopyOnly(benchmark::State& state) {
  const VelString pattern(kPatterns[state.range(0)]);
  for (auto _ : state) {
    VelString result(pattern);
    benchmark::DoNotOptimize(result.text);
  }
}
BENCHMARK(BM_CopyOnly)->Arg(0)->Arg(1)->Repetitions(5);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  for (int p = 0; p < 2; ++p) {
    const std::string arg = "/" + std::to_string(p);
    const double qt = reporter.get("BM_QStringArg" + arg);
    const double both = reporter.get("BM_CopyAndSubstituteArgs" + arg);
    const double copy = reporter.get("BM_CopyOnly" + arg);
    if (qt <= 0 || both <= 0) continue;
    std::printf("pattern %d: QString::arg / (copy + substituteArgs) = %.2fx\n", p, qt / both);
    if (copy > 0 && both > copy) {
      const double ratio = qt / (both - copy);
      std::printf("pattern %d: QString::arg / substituteArgs = %.2fx (target: at least 2x): %s\n", p, ratio,
                  ratio >= 2.0 ? "met" : "MISSED");
    }
  }
  return 0;
}
