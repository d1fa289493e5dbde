// The spill of guarded reallocation, observed in-process (the exit turned
// into an exception): the file calls made on each way out, the fate of the
// old block, the exclusive creation of the predictable file name, and that
// nothing is deleted by a name the file no longer holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "platform/files.h"
#include "report/paths.h"
#include "tests/memory/spill_run.h"

namespace {

using namespace cadence::report;

using cadence::test::ExitCalled;
using cadence::test::SpillRun;

constexpr int kExclusiveSpillFlags = 0x8542;  // read-write, create, temporary, binary, exclusive
// Where the file lost its name as it was opened, it is never deleted by name.
const int kUnlinksOfASpillFile = cadence::port::kTemporaryFilesLoseTheirNameAtOnce ? 0 : 1;

struct ThrowingSpillRun : SpillRun {
  cadence::test::ThrowingProcess process;
  cadence::port::ScopedOverride<cadence::port::Process> useProcess{process};

  // The spill file (if any) is closed before the new report is made, closed
  // and renamed to memory.log; a report that could not be written whole is
  // deleted instead.
  void expectEndedWithReport(bool spillFileMade = true, bool reportWhole = true) {
    EXPECT_EQ(process.statuses, std::vector<int>{-1});
    EXPECT_EQ(scope.notice.calls.size(), 1u);
    if (!spillFileMade) return;
    EXPECT_EQ(std::filesystem::exists(scope.directory / "memory.log"), reportWhole);
    ASSERT_EQ(files.openedPaths.size(), 2u);
    EXPECT_NE(files.openedPaths[1].find("memory.log.new-"), std::string::npos);
    EXPECT_EQ(files.closes, 2);
    EXPECT_EQ(files.unlinks, kUnlinksOfASpillFile + (reportWhole ? 0 : 1));
    EXPECT_EQ(files.replaces, reportWhole ? 1 : 0);
  }
};

TEST(XalSpill, ParksTheBlockAndReadsItBackIntoTheNewOne) {
  SpillRun run;
  ASSERT_EQ(run.run(), SpillRun::kMinNewSize);
  ASSERT_EQ(run.files.openFlags, std::vector<int>{kExclusiveSpillFlags});
  EXPECT_NE(run.files.openedPaths[0].find(run.scope.directory.string()), std::string::npos);
  EXPECT_EQ(run.files.openedPaths[0].substr(run.files.openedPaths[0].size() - 5), "-temp");
  ASSERT_EQ(run.files.writes.size(), 1u);
  EXPECT_EQ(run.files.writes[0].size(), size_t{SpillRun::kElemSize} * SpillRun::kCurSize);
  EXPECT_EQ(run.files.closes, 1);
  EXPECT_EQ(run.files.unlinks, kUnlinksOfASpillFile);

  const auto* bytes = static_cast<const unsigned char*>(run.block);
  const size_t oldBytes = size_t{SpillRun::kElemSize} * SpillRun::kCurSize;
  for (size_t i = 0; i < oldBytes; ++i) ASSERT_EQ(bytes[i], cadence::test::spillPattern(i)) << i;
  for (size_t i = oldBytes; i < size_t{SpillRun::kElemSize} * SpillRun::kMinNewSize; ++i) ASSERT_EQ(bytes[i], 0) << i;
  cadence::port::sysFree(run.block);
  // Nothing is left behind in the temporary directory.
  for (const auto& entry : std::filesystem::directory_iterator(run.scope.directory)) {
    ADD_FAILURE() << "left behind: " << entry.path();
  }
}

TEST(XalSpill, EachFailureClosesDeletesAndReports) {
  {  // the file cannot be opened: nothing else is touched
    ThrowingSpillRun run;
    run.files.failOpen = true;  // memory.log cannot be made either
    EXPECT_THROW(run.run(), ExitCalled);
    run.expectEndedWithReport(false);
    EXPECT_TRUE(run.files.writes.empty());
    EXPECT_EQ(run.files.closes, 0);
    EXPECT_EQ(run.block, run.oldBlock);  // still valid
    cadence::port::sysFree(run.block);
  }
  {  // a short write: the old block stays, the file goes (the report, short too, goes as well)
    ThrowingSpillRun run;
    run.files.shortWriteBy = 1;
    EXPECT_THROW(run.run(), ExitCalled);
    run.expectEndedWithReport(true, false);
    EXPECT_EQ(run.block, run.oldBlock);
    EXPECT_EQ(run.heap.frees, run.freesAtStart);
    cadence::port::sysFree(run.block);
  }
  {  // no memory after the old block was freed
    ThrowingSpillRun run;
    run.memoryReturns = false;
    EXPECT_THROW(run.run(), ExitCalled);
    run.expectEndedWithReport();
    EXPECT_EQ(run.block, nullptr);
  }
  {  // a short read: the new block is freed too
    ThrowingSpillRun run;
    run.files.shortReadBy = 1;
    EXPECT_THROW(run.run(), ExitCalled);
    run.expectEndedWithReport();
    EXPECT_EQ(run.block, nullptr);
  }
}

// The name is predictable: an existing file or a planted link at that name
// is never opened; the spill goes on under the next name, leaving the other
// file untouched.
TEST(XalSpill, NeverWritesThroughAnExistingNameOrLink) {
  for (bool asLink : {false, true}) {
    ThrowingSpillRun run;
    VelString name;
    makeTempFileName(name);        // the name the spill will make next
    run.scope.system.counter = 0;  // ...once the counter is wound back
    std::string planted = cadence::test::utf8(name.text);
    std::replace(planted.begin(), planted.end(), '\\', '/');
    const std::filesystem::path victim = run.scope.directory / "victim";
    std::ofstream(victim) << "precious";
    if (asLink) {
#ifdef _WIN32
      // A link is a reparse point there, and wine makes a POSIX one, which
      // its CreateFileW follows even for a new file: judged on POSIX.
      std::printf("[ note     ] the planted link is tried on POSIX only\n");
      continue;
#endif
      std::error_code noLinks;
      std::filesystem::create_symlink(victim, planted, noLinks);
      if (noLinks) {  // a system without links: only the plain name is tried
        std::printf("[ note     ] no symbolic link could be planted (%s)\n", noLinks.message().c_str());
        continue;
      }
    } else {
      std::filesystem::copy_file(victim, planted);
    }
    EXPECT_EQ(run.run(), SpillRun::kMinNewSize);
    EXPECT_TRUE(run.process.statuses.empty());
    ASSERT_EQ(run.files.openedPaths.size(), 2u);  // the planted name, then the next
    EXPECT_NE(run.files.openedPaths[0], run.files.openedPaths[1]);
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::symlink_status(planted)));
    std::ifstream in(victim);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, "precious");
    cadence::port::sysFree(run.block);
  }
}

}  // namespace
