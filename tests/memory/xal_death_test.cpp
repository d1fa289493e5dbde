// Guarded allocation ending the process for real: exit(-1) is status 255.
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

void refuseForGood(veltest::MemoryHostScope& scope) {
  veltest::FailingHeap heap;
  heap.shouldFail = [](int64_t, size_t bytes) { return bytes == 1 << 20; };
  velport::ScopedOverride<velport::Heap> use(heap);
  void* block = nullptr;
  xalMalloc(&block, 1024, 1024);
}

TEST(XalMallocDeathTest, EndsTheProcessWithoutAManager) {
  veltest::ScratchDirectory scratch;
  EXPECT_EXIT(
      {
        veltest::MemoryHostScope scope(scratch.path);
        refuseForGood(scope);
      },
      ExitedWithCode(255), "");
}

TEST(XalMallocDeathTest, EndsTheProcessOnceTheManagerSaysNo) {
  veltest::ScratchDirectory scratch;
  EXPECT_EXIT(
      {
        veltest::MemoryHostScope scope(scratch.path);
        scope.offerManager();
        scope.manager.answer = [](int call) {
          if (call < 3) return true;
          std::fprintf(stderr, "manager said no at call %d\n", call);
          return false;
        };
        refuseForGood(scope);
      },
      ExitedWithCode(255), "manager said no at call 3\n$");
}

// The report needs memory too: when that fails as well, the process still
// ends with status 255 instead of recursing into a second report.
TEST(XalMallocDeathTest, EndsTheProcessWhenTheReportFindsNoMemoryEither) {
  veltest::ScratchDirectory scratch;
  EXPECT_EXIT(
      {
        veltest::MemoryHostScope scope(scratch.path);
        veltest::FailingHeap heap = veltest::FailingHeap::from(1);
        velport::ScopedOverride<velport::Heap> use(heap);
        int32_t usable = 0;
        poolAllocate(3000, &usable);  // a class with nothing cached
      },
      ExitedWithCode(255), "");
}

// Each way the spill can fail: open (-1), short write (-2), no memory after
// the old block was freed (-4), short read (-3).
TEST(XalSpillDeathTest, EachFailureEndsTheProcess) {
  const std::function<void(veltest::SpillRun&)> failures[] = {
      [](veltest::SpillRun& run) { run.files.failOpen = true; },
      [](veltest::SpillRun& run) { run.files.shortWriteBy = 1; },
      [](veltest::SpillRun& run) { run.memoryReturns = false; },
      [](veltest::SpillRun& run) { run.files.shortReadBy = 1; },
  };
  for (const auto& fail : failures) {
    veltest::ScratchDirectory scratch;
    EXPECT_EXIT(
        {
          veltest::SpillRun run(scratch.path);
          fail(run);
          run.run();
        },
        ExitedWithCode(255), "");
  }
}

TEST(XalSpillDeathTest, SucceedsWhenMemoryReturns) {
  veltest::ScratchDirectory scratch;
  EXPECT_EXIT(
      {
        veltest::SpillRun run(scratch.path);
        const bool ok = run.run() == veltest::kSpillMin &&
                        static_cast<unsigned char*>(run.block)[9999] == veltest::spillPattern(9999) &&
                        static_cast<unsigned char*>(run.block)[19999] == 0;
        std::exit(ok ? 0 : 1);
      },
      ExitedWithCode(0), "");
}

}  // namespace
