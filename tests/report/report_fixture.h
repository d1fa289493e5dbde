// A host for the report and notice tests: a data store pointing the logs
// directory at a fresh temporary directory, fixed system figures, a captured
// notice box, and the process-wide service holders forgotten around each test.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "memory/guard_services.h"
#include "report/report_services.h"
#include "tests/support/fake_platform.h"
#include "tests/support/service_fakes.h"
#include "tests/support/test_host.h"
#include "tests/support/unique_directory.h"

namespace cadence::test {

inline std::string readWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

inline std::filesystem::path makeTempDirectory() { return makeUniqueDirectory("vel-report-"); }

inline void forgetGuardServices() {
  guard::memoryManagerHolder().forget();
  report::memCheckerHolder().forget();
  report::dirServiceHolder().forget();
}

class ReportFixture : public ::testing::Test {
 protected:
  // Figures in KiB: free 5000, total 8192000, swap total min(4096, 2048),
  // swap free min(512, 1024).
  static constexpr const char* kFigureLines =
      "system free:         5000k\r\n"
      "system total:     8192000k\r\n"
      "swap free:            512k\r\n"
      "swap total:          2048k\r\n"
      "\r\n";

  void SetUp() override {
    directory = makeTempDirectory();
    ASSERT_FALSE(directory.empty());
    store.setString("Directories/Logs Directory", directory.string());
    host.offer("IDataStore", static_cast<IDataStore*>(&store));
    host.offer("IGfxRenderer", static_cast<IGfxRenderer*>(&renderer));
    notice.onShow = [this] { events.push_back("show"); };
    constexpr uint64_t k = 1024;
    system.status = {8192000 * k, 5000 * k, 2048 * k, 1024 * k, (8192000 + 4096) * k, (5000 + 512) * k};
    forgetGuardServices();
  }
  void TearDown() override {
    forgetGuardServices();  // while the host and the fakes still live
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
  }
  int lookupsOf(const std::string& name) const {
    return static_cast<int>(std::count(host.lookups.begin(), host.lookups.end(), name));
  }
  std::string logText() const { return readWholeFile(directory / "memory.log"); }

  std::filesystem::path directory;
  std::vector<std::string> events;
  TestHost host;
  ScopedHost scopedHost{&host};
  FakeDataStore store;
  FakeRenderer renderer{&events};
  RecordingErrorService errorService{&events};
  FakeMManager manager;
  FixedSystem system;
  cadence::port::ScopedOverride<cadence::port::System> useSystem{system};
  CapturingNotice notice;
  cadence::port::ScopedOverride<cadence::port::Notice> useNotice{notice};
};

}  // namespace cadence::test
