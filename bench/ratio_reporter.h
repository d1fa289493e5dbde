// A console reporter that also keeps each benchmark's time per iteration by
// "function/args" (CPU time, or the measured time of a benchmark that times
// itself or asks for wall time), so a program can print ratios against a baseline run
// in the same process. With repetitions (--benchmark_repetitions=N) the
// median is kept, otherwise the single run.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <set>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const std::string name = run.run_name.function_name + "/" + run.run_name.args;
      const bool wall = !run.run_name.time_type.empty();  // "manual_time" or "real_time"
      const double nanos = wall ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime();
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        nanos_[name] = nanos;
        medians_.insert(name);
      } else if (run.run_type == Run::RT_Iteration && run.iterations > 0 && !medians_.count(name)) {
        nanos_[name] = nanos;
      }
    }
  }
  // CPU nanoseconds per iteration of `name` ("BM_Function/args"), 0 if it did not run.
  double get(const std::string& name) const {
    auto it = nanos_.find(name);
    return it == nanos_.end() ? 0.0 : it->second;
  }

 private:
  std::map<std::string, double> nanos_;
  std::set<std::string> medians_;
};
