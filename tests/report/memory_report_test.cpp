// memory.log byte for byte, the memory manager accessor, and the system
// figures from the memory checker or the platform.
#include <algorithm>

#include "report/memory_figures.h"
#include "report/memory_report.h"
#include "report/out_of_memory_notice.h"
#include "tests/report/report_fixture.h"

namespace {

using namespace cadence::report;

class MemoryReport : public cadence::test::ReportFixture {};

TEST_F(MemoryReport, WithoutManagerAndAttemptedSizes) {
  writeMemoryReport(1048576);
  writeMemoryReport(0);  // replaces the previous report
  EXPECT_EQ(logText(), std::string(kFigureLines) + "velmm not available\r\n\r\n");
  writeMemoryReport(1048576);
  EXPECT_EQ(logText(), std::string("attempted:        1048576b\r\n\r\n") + kFigureLines +
                           "velmm not available\r\n\r\n");
}

TEST_F(MemoryReport, ManagerFiguresInKiBAskedInTableOrder) {
  host.offer("IVelMManager", static_cast<VelMM::IVelMManager*>(&manager));
  writeMemoryReport(0);
  EXPECT_EQ(logText(), std::string(kFigureLines) +
                           "velmm core now:      2400k\r\n"
                           "velmm core limit:    4800k\r\n"
                           "velmm swap now:        72k\r\n"
                           "velmm swap limit: -2147483648k\r\n"  // the product wraps in 32 bits
                           "\r\n");
  EXPECT_EQ(manager.calls, (std::vector<std::string>{"coreNow", "coreLimit", "swapNow", "swapLimit"}));
  EXPECT_EQ(lookupsOf("IVelMManager"), 1);
}

TEST_F(MemoryReport, UnwritableDirectoryLeavesNoFileAndTheNoticeFollows) {
  store.setString("Directories/Logs Directory", (directory / "missing").string());
  writeMemoryReport(64);
  EXPECT_FALSE(std::filesystem::exists(directory / "missing"));
  EXPECT_FALSE(showOutOfMemoryNotice(-4));
  EXPECT_EQ(notice.calls.size(), 1u);
}

// No data store at all: memory.log in the current directory.
TEST_F(MemoryReport, WithoutDataStoreWritesToTheCurrentDirectory) {
  host.withdraw("IDataStore");
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(directory);
  writeMemoryReport(0);
  std::filesystem::current_path(previous);
  EXPECT_EQ(logText(), std::string(kFigureLines) + "velmm not available\r\n\r\n");
}

TEST_F(MemoryReport, MemoryManagerLookupIsNotRepeated) {
  EXPECT_EQ(cadence::guard::memoryManager(), nullptr);
  host.offer("IVelMManager", static_cast<VelMM::IVelMManager*>(&manager));
  EXPECT_EQ(cadence::guard::memoryManager(), nullptr);
  cadence::test::forgetGuardServices();
  EXPECT_EQ(cadence::guard::memoryManager(), static_cast<VelMM::IVelMManager*>(&manager));
  EXPECT_EQ(lookupsOf("IVelMManager"), 2);
}

TEST_F(MemoryReport, SystemFiguresFromPlatformOrChecker) {
  int64_t f[4] = {-7, -7, -7, -7};
  system.status.availVirtual = system.status.availPhys + 9000 * 1024;  // capped by swap total
  system.status.availPageFile = 9000 * 1024;
  EXPECT_EQ(systemMemoryFigures(&f[0], &f[1], &f[2], &f[3]), 0);
  EXPECT_EQ(std::vector<int64_t>(f, f + 4), (std::vector<int64_t>{5000, 8192000, 2048, 2048}));

  system.statusOk = false;
  f[0] = -7;
  EXPECT_EQ(systemMemoryFigures(&f[0], &f[1], &f[2], &f[3]), -1);
  EXPECT_EQ(f[0], -7);

  cadence::test::FakeMemChecker checker;  // looked up again while missing
  host.offer("IMemChecker", static_cast<IMemChecker*>(&checker));
  EXPECT_EQ(systemMemoryFigures(&f[0], &f[1], &f[2], &f[3]), 7);
  EXPECT_EQ(std::vector<int64_t>(f, f + 4), (std::vector<int64_t>{11, 22, 33, 1024}));
  cadence::test::forgetGuardServices();
}

}  // namespace
