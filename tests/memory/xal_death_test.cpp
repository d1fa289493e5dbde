// Guarded allocation ending the process for real with exit(-1) (status 255 on
// POSIX, -1 on Windows).
// The heap and descriptor doubles decide where it fails; the report goes to
// a scratch directory and the notice is captured.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "memory/pool.h"
#include "memory/xal_alloc.h"
#include "tests/memory/spill_run.h"

namespace {

using ::testing::ExitedWithCode;

void refuseForGood(cadence::test::MemoryHostScope& scope) {
  cadence::test::FailingHeap heap;
  heap.shouldFail = [](int64_t, size_t bytes) { return bytes == 1 << 20; };
  cadence::port::ScopedOverride<cadence::port::Heap> use(heap);
  void* block = nullptr;
  xalMalloc(&block, 1024, 1024);
}

// Runs `body` in a death test's child, in a memory scope writing to a
// scratch directory, and expects it to end through exit(-1) with standard
// error matching `pattern`.
void expectExitMinusOne(const std::function<void(cadence::test::MemoryHostScope&)>& body, const char* pattern = "") {
  cadence::test::ScratchDirectory scratch;
  EXPECT_EXIT(
      {
        cadence::test::MemoryHostScope scope(scratch.path);
        body(scope);
      },
      ExitedWithCode(cadence::port::kStatusOfExitMinusOne), pattern);
}

TEST(XalMallocDeathTest, EndsTheProcessWithoutAManager) { expectExitMinusOne(refuseForGood); }

TEST(XalMallocDeathTest, EndsTheProcessOnceTheManagerSaysNo) {
  expectExitMinusOne(
      [](cadence::test::MemoryHostScope& scope) {
        scope.offerManager();
        scope.manager.answer = [](int call) {
          if (call < 3) return true;
          std::fprintf(stderr, "manager said no at call %d\n", call);
          return false;
        };
        refuseForGood(scope);
      },
      "manager said no at call 3\\s*$");
}

// The report needs memory too: when that fails as well, the process still
// ends through exit(-1) instead of recursing into a second report.
TEST(XalMallocDeathTest, EndsTheProcessWhenTheReportFindsNoMemoryEither) {
  expectExitMinusOne([](cadence::test::MemoryHostScope&) {
    cadence::test::FailingHeap heap = cadence::test::FailingHeap::from(1);
    cadence::port::ScopedOverride<cadence::port::Heap> use(heap);
    int32_t usable = 0;
    poolAllocate(3000, &usable);  // a class with nothing cached
  });
}

// Each way the spill can fail: open (-1), short write (-2), no memory after
// the old block was freed (-4), short read (-3).
TEST(XalSpillDeathTest, EachFailureEndsTheProcess) {
  const std::function<void(cadence::test::SpillRun&)> failures[] = {
      [](cadence::test::SpillRun& run) { run.files.failOpen = true; },
      [](cadence::test::SpillRun& run) { run.files.shortWriteBy = 1; },
      [](cadence::test::SpillRun& run) { run.memoryReturns = false; },
      [](cadence::test::SpillRun& run) { run.files.shortReadBy = 1; },
  };
  for (const auto& fail : failures) {
    cadence::test::ScratchDirectory scratch;
    EXPECT_EXIT(
        {
          cadence::test::SpillRun run(scratch.path);
          fail(run);
          run.run();
        },
        ExitedWithCode(cadence::port::kStatusOfExitMinusOne), "");
  }
}

TEST(XalSpillDeathTest, SucceedsWhenMemoryReturns) {
  cadence::test::ScratchDirectory scratch;
  EXPECT_EXIT(
      {
        cadence::test::SpillRun run(scratch.path);
        const bool ok = run.run() == cadence::test::SpillRun::kMinNewSize &&
                        static_cast<unsigned char*>(run.block)[9999] == cadence::test::spillPattern(9999) &&
                        static_cast<unsigned char*>(run.block)[19999] == 0;
        std::exit(ok ? 0 : 1);
      },
      ExitedWithCode(0), "");
}

}  // namespace
