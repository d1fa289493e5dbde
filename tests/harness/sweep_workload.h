// The allocation-failure sweep's workload: a run of the timer service, its
// timers and listeners, names, strings, translations, the pool and guarded
// allocation directly, and a memory report, with a heap that refuses chosen
// requests. Run in a child process; the parent judges how the child ended.
#pragma once

#include <cstdint>
#include <string>

namespace cadence::harness {

enum class SweepMode {
  FailOneCall,             // the N-th heap request (malloc or realloc) fails
  FailOneCallWithManager,  // the same, with a host memory manager that gives memory back
  FailReallocRun,          // realloc requests N to N+8 fail (narrowing fails, the spill takes over)
};

struct SweepSettings {
  SweepMode mode = SweepMode::FailOneCall;
  int64_t failAt = 0;     // 0: nothing fails (the counting run)
  std::string directory;  // scratch directory: logs, spill files, the notice
};

// What a completed run counted, written to `directory`/counts.txt.
struct SweepCounts {
  int64_t heapCalls = 0;  // malloc and realloc requests of the workload
  int64_t reallocs = 0;
  int64_t spills = 0;        // spill files opened
  int64_t managerUnits = 0;  // units the memory manager gave back
};

// Runs the workload; 0 when it completed with correct results, 3 when a
// result was wrong (the reason goes to standard error). An allocation that
// cannot be satisfied ends the process inside, through the runtime.
int runSweepWorkload(const SweepSettings& settings);

// The workload as a child process runs it (see child_process.h): the name
// of its body, and the settings written as the body's argument.
inline constexpr const char* kSweepWorkloadBody = "sweep-workload";
std::string sweepArgument(const SweepSettings& settings);

// Reads counts.txt of a completed run (all zero when missing).
SweepCounts readSweepCounts(const std::string& directory);

// The file the notice double writes the notice's text to.
std::string noticePath(const std::string& directory);

}  // namespace cadence::harness
