// End to end: an allocation that fails for good writes memory.log, shows the
// notice and ends the process with exit(-1); two at once give one report.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "memory/xal_alloc.h"
#include "tests/report/report_fixture.h"

namespace {

constexpr int32_t kRefusedBytes = 1 << 30;

// A host whose logs directory is `directory`, a notice printed on one line of
// standard error for the parent to read, and a heap that refuses
// kRefusedBytes.
struct RefusingScene {
  explicit RefusingScene(const std::filesystem::path& directory) {
    store.setString("Directories/Logs Directory", directory.string());
    host.offer("IDataStore", static_cast<IDataStore*>(&store));
    notice.onShow = [this] {
      std::fprintf(stderr, "notice %s: %s\n", cadence::test::utf8(notice.calls.back().caption).c_str(),
                   cadence::test::utf8(notice.calls.back().text).c_str());
    };
    heap.shouldFail = [](int64_t, std::size_t bytes) { return bytes == kRefusedBytes; };
  }
  cadence::test::TestHost host;
  cadence::test::ScopedHost scoped{&host};
  cadence::test::FakeDataStore store;
  cadence::test::CapturingNotice notice;
  cadence::port::ScopedOverride<cadence::port::Notice> useNotice{notice};
  cadence::test::FailingHeap heap;
  cadence::port::ScopedOverride<cadence::port::Heap> useHeap{heap};
};

TEST(OutOfMemoryDeathTest, FailingForGoodReportsNotifiesAndExits) {
  GTEST_FLAG_SET(death_test_style, "fast");  // the child must share the parent's directory
  const cadence::test::DeathTestDirectory shared("vel-report-", "VEL_OOM_DEATH_TEST_DIRECTORY");
  const std::filesystem::path& directory = shared.path;
  ASSERT_FALSE(directory.empty());

  EXPECT_EXIT(
      {
        RefusingScene scene(directory);
        void* block = nullptr;
        xalMalloc(&block, 1, kRefusedBytes);
      },
      ::testing::ExitedWithCode(cadence::port::kStatusOfExitMinusOne),
      "notice Out of Memory: While running this function, you have run out of memory\\.");

  const std::string log = cadence::test::readWholeFile(directory / "memory.log");
  EXPECT_EQ(log.rfind("attempted:        1073741824b\r\n\r\nsystem free:", 0), 0u) << log;
  EXPECT_NE(log.find("velmm not available\r\n\r\n"), std::string::npos);
}

// Standard error that shows the notice exactly once.
class OneNotice : public ::testing::MatcherInterface<const std::string&> {
 public:
  bool MatchAndExplain(const std::string& err, ::testing::MatchResultListener*) const override {
    size_t count = 0;
    for (size_t at = err.find(kNotice); at != std::string::npos; at = err.find(kNotice, at + 1)) ++count;
    return count == 1;
  }
  void DescribeTo(std::ostream* out) const override { *out << "shows the notice once"; }

 private:
  static constexpr const char* kNotice = "notice Out of Memory:";
};

// Two threads asking for the refused size at the same moment.
void twoThreadsRunOut(const std::filesystem::path& directory) {
  RefusingScene scene(directory);
  std::atomic<int> ready{0};
  auto runOut = [&] {
    ++ready;
    while (ready.load() < 2) {
    }
    void* block = nullptr;
    xalMalloc(&block, 1, kRefusedBytes);
  };
  std::thread first(runOut);
  std::thread second(runOut);
  first.join();
  second.join();
}

// Two threads that run out of memory at the same moment give one report and
// one notice: the second waits for the end the first one brings.
TEST(OutOfMemoryDeathTest, TwoThreadsRunningOutAtOnceGiveOneReport) {
  GTEST_FLAG_SET(death_test_style, "fast");
  const cadence::test::DeathTestDirectory shared("vel-report-", "VEL_OOM_DEATH_TEST_DIRECTORY");
  ASSERT_FALSE(shared.path.empty());
  EXPECT_EXIT(twoThreadsRunOut(shared.path), ::testing::ExitedWithCode(cadence::port::kStatusOfExitMinusOne),
              ::testing::MakeMatcher(new OneNotice));
  const std::string log = cadence::test::readWholeFile(shared.path / "memory.log");
  EXPECT_EQ(log.rfind("attempted:        1073741824b\r\n\r\nsystem free:", 0), 0u) << log;
}

}  // namespace
