// memory.log byte for byte, what it does to whatever stands under its name,
// the memory manager accessor, and the system figures from the memory
// checker or the platform.
#include <algorithm>
#include <cstdio>

#ifndef _WIN32
#include <sys/stat.h>
#endif

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
  EXPECT_EQ(logText(),
            std::string("attempted:        1048576b\r\n\r\n") + kFigureLines + "velmm not available\r\n\r\n");
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

// Whatever stands under memory.log is replaced, never opened or written
// through: a link to somebody's file, a dangling link, a hard link, a FIFO,
// a file open to everybody. The new report is its owner's alone, and nothing
// else is left in the directory.
TEST_F(MemoryReport, ReplacesWhateverStandsUnderItsNameWithoutWritingThroughIt) {
  namespace fs = std::filesystem;
  const fs::path log = directory / "memory.log";
  const fs::path victim = directory / "victim";
  const std::string expected = std::string(kFigureLines) + "velmm not available\r\n\r\n";
  auto plantAndReport = [&](const char* what, auto plant) {
    std::ofstream(victim) << "precious";
    std::error_code error;
    fs::remove(log, error);
    if (!plant()) {  // mingw-w64's library makes no links: that case is left out there
      std::printf("[ note     ] could not plant %s\n", what);
      return;
    }
    writeMemoryReport(0);
    EXPECT_EQ(logText(), expected) << what;
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(log))) << what;
    EXPECT_EQ(cadence::test::readWholeFile(victim), "precious") << what;
#ifndef _WIN32
    EXPECT_EQ(fs::status(log).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write) << what;
#endif
  };
  plantAndReport("a link to another file", [&] {
    std::error_code error;
    fs::create_symlink(victim, log, error);
    return !error;
  });
  plantAndReport("a dangling link", [&] {
    std::error_code error;
    fs::create_symlink(directory / "nowhere", log, error);
    return !error;
  });
  EXPECT_FALSE(fs::exists(directory / "nowhere"));
  plantAndReport("a hard link", [&] {
    std::error_code error;
    fs::create_hard_link(victim, log, error);
    return !error;
  });
  plantAndReport("a file open to everybody", [&] {
    std::ofstream(log) << "old";
    std::error_code error;
    fs::permissions(log, fs::perms::all, error);
    return true;
  });
#ifndef _WIN32
  plantAndReport("a FIFO", [&] { return mkfifo(log.c_str(), 0666) == 0; });
#endif
  std::error_code error;
  fs::remove(victim, error);
  for (const auto& entry : fs::directory_iterator(directory)) {
    EXPECT_EQ(entry.path().filename(), "memory.log") << "left behind";
  }
}

// The previous report stays until a new one is whole: one that cannot be
// written completely is deleted and leaves memory.log as it was.
TEST_F(MemoryReport, AReportThatCannotBeWrittenWholeLeavesThePreviousOne) {
  writeMemoryReport(1048576);
  const std::string previous = logText();
  cadence::test::RecordingFiles files;
  files.shortWriteBy = 1;
  {
    cadence::port::ScopedOverride<cadence::port::Files> useFiles(files);
    writeMemoryReport(0);
  }
  EXPECT_EQ(logText(), previous);
  EXPECT_EQ(files.unlinks, 1);
  EXPECT_EQ(files.replaces, 0);
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    EXPECT_EQ(entry.path().filename(), "memory.log") << "left behind";
  }
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
