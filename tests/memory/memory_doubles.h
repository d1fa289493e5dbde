// The memory tests' host: a scratch directory, and a scope that installs the
// shared service fakes (a data store naming that directory for logs and
// temporary files, a scripted memory manager, a recording assertion handler)
// with quiet platform doubles (captured notice, fixed system figures).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "cadencehost/vel_services.h"
#include "cadencehost/vel_string.h"
#include "memory/guard_services.h"
#include "platform/override.h"
#include "tests/support/fake_platform.h"
#include "tests/support/service_fakes.h"
#include "tests/support/test_host.h"
#include "tests/support/unique_directory.h"

namespace cadence::test {

inline std::filesystem::path makeScratchDirectory() { return makeUniqueDirectory("vel-memory-"); }

// A scratch directory made by a death test's parent, shared with its child
// and removed when the parent's copy ends.
struct ScratchDirectory : DeathTestDirectory {
  ScratchDirectory() : DeathTestDirectory("vel-memory-", "VEL_MEMORY_DEATH_TEST_DIRECTORY") {}
};

// A host offering a data store that points at a scratch directory (the
// report and the spill files go there), plus the optional manager and
// assertion handler; the notice is captured and system figures are fixed.
// The memory manager's process-wide lookup is forgotten on entry and exit.
// A directory passed in is left in place (a death test's parent removes it).
class MemoryHostScope {
 public:
  explicit MemoryHostScope(std::filesystem::path given = {})
      : ownsDirectory(given.empty()),
        directory(ownsDirectory ? makeScratchDirectory() : given),
        store(directory.string()),
        scopedHost(&host),
        useNotice(notice),
        useSystem(system) {
    host.offer("IDataStore", static_cast<IDataStore*>(&store));
    guard::memoryManagerHolder().forget();
  }
  ~MemoryHostScope() {
    guard::memoryManagerHolder().forget();
    std::error_code ignored;
    if (ownsDirectory) std::filesystem::remove_all(directory, ignored);
  }
  void offerManager() { host.offer("IVelMManager", static_cast<VelMM::IVelMManager*>(&manager)); }
  void offerAssertHandler() { host.offer("IVelAssertHandlerCB", static_cast<IVelAssertHandlerCB*>(&assertHandler)); }

  bool ownsDirectory;
  std::filesystem::path directory;
  FakeDataStore store;
  FakeMManager manager;
  RecordingAssertHandler assertHandler;
  TestHost host;
  CapturingNotice notice;
  FixedSystem system;

 private:
  ScopedHost scopedHost;
  cadence::port::ScopedOverride<cadence::port::Notice> useNotice;
  cadence::port::ScopedOverride<cadence::port::System> useSystem;
};

}  // namespace cadence::test
