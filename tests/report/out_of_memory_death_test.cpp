// End to end: an allocation that fails for good writes memory.log, shows the
// notice and ends the process with exit(-1).
#include <gtest/gtest.h>

#include <cstdio>

#include "memory/xal_alloc.h"
#include "tests/report/report_fixture.h"

namespace {

constexpr int32_t kRefusedBytes = 1 << 30;

TEST(OutOfMemoryDeathTest, FailingForGoodReportsNotifiesAndExits) {
  GTEST_FLAG_SET(death_test_style, "fast");  // the child must share the parent's directory
  const cadence::test::DeathTestDirectory shared("vel-report-", "VEL_OOM_DEATH_TEST_DIRECTORY");
  const std::filesystem::path& directory = shared.path;
  ASSERT_FALSE(directory.empty());

  EXPECT_EXIT(
      {
        cadence::test::TestHost host;
        cadence::test::ScopedHost scoped(&host);
        cadence::test::FakeDataStore store;
        store.setString("Directories/Logs Directory", directory.string());
        host.offer("IDataStore", static_cast<IDataStore*>(&store));
        // The notice, on one line of standard error for the parent to read.
        cadence::test::CapturingNotice notice;
        notice.onShow = [&] {
          std::fprintf(stderr, "notice %s: %s\n", cadence::test::utf8(notice.calls.back().caption).c_str(),
                       cadence::test::utf8(notice.calls.back().text).c_str());
        };
        cadence::port::ScopedOverride<cadence::port::Notice> useNotice(notice);
        cadence::test::FailingHeap heap;
        heap.shouldFail = [](int64_t, std::size_t bytes) { return bytes == kRefusedBytes; };
        cadence::port::ScopedOverride<cadence::port::Heap> useHeap(heap);
        void* block = nullptr;
        xalMalloc(&block, 1, kRefusedBytes);
      },
      ::testing::ExitedWithCode(cadence::port::kStatusOfExitMinusOne),
      "notice Out of Memory: While running this function, you have run out of memory\\.");

  const std::string log = cadence::test::readWholeFile(directory / "memory.log");
  EXPECT_EQ(log.rfind("attempted:        1073741824b\r\n\r\nsystem free:", 0), 0u) << log;
  EXPECT_NE(log.find("velmm not available\r\n\r\n"), std::string::npos);
}

}  // namespace
