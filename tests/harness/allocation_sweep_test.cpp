// The allocation-failure sweep: the workload is run once to count its heap
// requests, then once per request with exactly that request refused (and,
// in a second pass, with a memory manager that gives memory back), and once
// per reallocation with a run of refusals that defeats the narrowing. Every
// run is a child process, and must end in a correct recovery (exit 0, the
// workload's results checked) or in the out-of-memory report, the notice and
// the status of exit(-1); never a signal, a hang or a wrong result.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/process.h"
#include "tests/harness/child_process.h"
#include "tests/harness/sweep_workload.h"
#include "tests/support/unique_directory.h"

namespace cadence::harness {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto kChildLimit = 60s;  // a run that takes longer has hung

// The requests refused, one run each: every one on POSIX, where a run is a
// fork; every third on Windows, where a run is a new process of the test
// program (a few tenths of a second under wine), so the sweep stays within
// its time there. The code it reaches is the same on both systems but for
// the platform layer, which every third request still goes through.
#ifdef _WIN32
constexpr int64_t kRequestStride = 3;
#else
constexpr int64_t kRequestStride = 1;
#endif

struct Tally {
  int recovered = 0;
  int reported = 0;
  int64_t spills = 0;
  int64_t managerUnits = 0;
  std::vector<std::string> faults;
};

std::string freshDirectory() { return cadence::test::makeUniqueDirectory("vel-sweep-").string(); }

// What to show of a child's standard error: a sanitizer's report from its
// start, else the last lines.
std::string tail(const std::string& text) {
  const size_t report = text.find("ERROR:");
  if (report != std::string::npos) return text.substr(report, 2500);
  return text.size() > 600 ? text.substr(text.size() - 600) : text;
}

// One run with request `n` refused; adds its outcome to the tally.
void runOnce(SweepMode mode, int64_t n, bool reportAllowed, Tally& tally) {
  const std::string dir = freshDirectory();
  ASSERT_FALSE(dir.empty());
  const std::string errors = dir + "/stderr.txt";
  const ChildOutcome outcome = runInChild(kSweepWorkloadBody, sweepArgument({mode, n, dir}), kChildLimit, errors);
  const std::string where = "request " + std::to_string(n) + ": ";
  if (outcome.exitedWith(0)) {
    ++tally.recovered;
    const SweepCounts counts = readSweepCounts(dir);
    tally.spills += counts.spills;
    tally.managerUnits += counts.managerUnits;
  } else if (outcome.exitedWith(cadence::port::kStatusOfExitMinusOne) && reportAllowed) {
    const std::string log = readFile(dir + "/memory.log");
    const std::string notice = readFile(noticePath(dir));
    if (log.find("attempted:") == std::string::npos || log.find("system free:") == std::string::npos) {
      tally.faults.push_back(where + "exit(-1) without the memory report; stderr: " + tail(readFile(errors)));
    } else if (notice.find("run out of memory") == std::string::npos ||
               notice.find("|Out of Memory|0") == std::string::npos) {
      tally.faults.push_back(where + "exit(-1) without the notice; stderr: " + tail(readFile(errors)));
    } else {
      ++tally.reported;
    }
  } else {
    tally.faults.push_back(where + outcome.describe() + "; stderr: " + tail(readFile(errors)));
  }
  fs::remove_all(dir);
}

std::string listFaults(const Tally& t) {
  std::string all;
  for (size_t i = 0; i < t.faults.size() && i < 10; ++i) all += t.faults[i] + "\n";
  return all;
}

class AllocationSweep : public ::testing::Test {
 protected:
  // The counting run, shared by the tests: nothing fails.
  static void SetUpTestSuite() {
    const std::string dir = freshDirectory();
    ASSERT_FALSE(dir.empty());
    countingOutcome = runInChild(kSweepWorkloadBody, sweepArgument({SweepMode::FailReallocRun, 0, dir}), kChildLimit,
                                 dir + "/stderr.txt");
    countingErrors = readFile(dir + "/stderr.txt");
    counts = readSweepCounts(dir);
    fs::remove_all(dir);
  }

  void SetUp() override {
    ASSERT_TRUE(countingOutcome.exitedWith(0)) << countingOutcome.describe() << "\n" << countingErrors;
    ASSERT_GT(counts.heapCalls, 0);
  }

  static ChildOutcome countingOutcome;
  static std::string countingErrors;
  static SweepCounts counts;
};

ChildOutcome AllocationSweep::countingOutcome;
std::string AllocationSweep::countingErrors;
SweepCounts AllocationSweep::counts;

TEST_F(AllocationSweep, WorkloadCompletesWhenNothingFails) {
  EXPECT_EQ(counts.spills, 0);
  EXPECT_EQ(counts.managerUnits, 0);
  EXPECT_GT(counts.reallocs, 0) << "the workload must reach the reallocation paths";
  std::printf("[ sweep    ] workload: %lld heap requests, %lld of them reallocations\n",
              static_cast<long long>(counts.heapCalls), static_cast<long long>(counts.reallocs));
}

TEST_F(AllocationSweep, EachRefusedRequestEndsInRecoveryOrReport) {
  Tally tally;
  for (int64_t n = 1; n <= counts.heapCalls; n += kRequestStride) runOnce(SweepMode::FailOneCall, n, true, tally);
  EXPECT_TRUE(tally.faults.empty()) << tally.faults.size() << " faulty runs, the first:\n" << listFaults(tally);
  // Refused mallocs end in the report; refused reallocations narrow and recover.
  EXPECT_GT(tally.reported, 0);
  EXPECT_GT(tally.recovered, 0);
  std::printf("[ sweep    ] one refusal: %d recovered, %d reported and ended\n", tally.recovered, tally.reported);
}

TEST_F(AllocationSweep, WithAMemoryManagerEveryRefusalRecovers) {
  Tally tally;
  int64_t runs = 0;
  for (int64_t n = 1; n <= counts.heapCalls; n += kRequestStride, ++runs)
    runOnce(SweepMode::FailOneCallWithManager, n, false, tally);
  EXPECT_TRUE(tally.faults.empty()) << tally.faults.size() << " faulty runs, the first:\n" << listFaults(tally);
  EXPECT_EQ(tally.recovered, runs);
  EXPECT_GT(tally.managerUnits, 0) << "refused mallocs are retried after the manager gave memory back";
}

TEST_F(AllocationSweep, RefusedReallocationRunsRecoverThroughTheSpill) {
  Tally tally;
  for (int64_t n = 1; n <= counts.reallocs; ++n) runOnce(SweepMode::FailReallocRun, n, false, tally);
  EXPECT_TRUE(tally.faults.empty()) << tally.faults.size() << " faulty runs, the first:\n" << listFaults(tally);
  EXPECT_EQ(tally.recovered, counts.reallocs);
  EXPECT_GT(tally.spills, 0) << "runs of refusals must reach the spill to a temporary file";
}

}  // namespace
}  // namespace cadence::harness
