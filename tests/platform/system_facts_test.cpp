// The system's own figures and calls behind the platform layer: memory
// figures shaped like the Windows memory status, the process id, the
// high-resolution counter, and the status a parent sees for exit(-1).
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/process.h"
#include "platform/system.h"

namespace {

using namespace cadence::port;

TEST(SystemFacts, MemoryFiguresProcessIdAndCounter) {
  MemoryStatus status;
  ASSERT_TRUE(realSystem().memoryStatus(&status));
  EXPECT_GT(status.totalPhys, 0u);
  EXPECT_LE(status.availPhys, status.totalPhys);
  EXPECT_LE(status.availPageFile, status.totalPageFile);
  EXPECT_GE(status.totalVirtual, status.availVirtual);
  EXPECT_FALSE(realSystem().memoryStatus(nullptr));

  const uint32_t pid = realSystem().processId();
  EXPECT_NE(pid, 0u);
  EXPECT_EQ(realSystem().processId(), pid);

  const int64_t before = realSystem().performanceCounter();
  std::this_thread::sleep_for(std::chrono::milliseconds(2));
  const int64_t after = realSystem().performanceCounter();
  EXPECT_GT(after, before);
  // Spill names use the counter's low 32 bits: they must move within a few milliseconds.
  EXPECT_NE(static_cast<uint32_t>(after), static_cast<uint32_t>(before));
}

TEST(SystemProcessDeathTest, ExitMinusOneIsTheStatusTheSystemReports) {
  EXPECT_EXIT(systemProcess().exit(-1), ::testing::ExitedWithCode(kStatusOfExitMinusOne), "");
  EXPECT_EXIT(systemProcess().exit(255), ::testing::ExitedWithCode(255), "");
}

}  // namespace
