// Host services and helpers for the memory tests: a memory manager with a
// scripted answer, an assertion handler that records, a data store naming
// the logs and temporary directories, and a scope that installs them all
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
#include "tests/support/test_host.h"
#include "tests/support/unique_directory.h"

namespace cadence::test {

// Services live on the test's stack: a large count keeps lookups from ever
// destroying them.
template <class I>
class StackService : public I {
 public:
  StackService() { this->refCount = 1 << 20; }
  void queryInterface(const char* name, void* target) override {
    if (name && target) *static_cast<void**>(target) = nullptr;
  }
  const char* getClassName() override { return "StackService"; }
};

class ScriptedManager : public StackService<VelMM::IVelMManager> {
 public:
  bool freeOneUnit() override {
    ++calls;
    const bool gave = answer ? answer(calls) : false;
    if (!gave) ++refusals;
    return gave;
  }
  int32_t coreLimit() override { return 0; }
  int32_t swapLimit() override { return 0; }
  int32_t swapNow() override { return 0; }
  int32_t coreNow() override { return 0; }

  std::function<bool(int call)> answer;  // the call number from 1
  int calls = 0;
  int refusals = 0;
};

struct RecordedAssertion {
  std::string expression;
  std::string file;
  int32_t line;
};

class RecordingAssertHandler : public StackService<IVelAssertHandlerCB> {
 public:
  void assertionFailed(const char* expression, const char* file, int32_t line) override {
    seen.push_back({expression, file, line});
  }
  std::vector<RecordedAssertion> seen;
};

class DirectoryStore : public StackService<IDataStore> {
 public:
  explicit DirectoryStore(const std::string& directory) : directory_(directory.c_str()) {}
  int32_t getBool(const char*, int32_t defaultValue) override { return defaultValue; }
  const VelString& getString(const char* key, int32_t) override {
    const std::string k = key;
    return k == "Directories/Logs Directory" || k == "Directories/Temp Directory" ? directory_ : none_;
  }

 private:
  VelString directory_;
  VelString none_;
};

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
  void offerAssertHandler() {
    host.offer("IVelAssertHandlerCB", static_cast<IVelAssertHandlerCB*>(&assertHandler));
  }

  bool ownsDirectory;
  std::filesystem::path directory;
  DirectoryStore store;
  ScriptedManager manager;
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
