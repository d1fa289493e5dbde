// Host services for the tests, one of each kind. Each starts with a large
// reference count, so a test may keep it on its stack: no lookup or release
// ever destroys it. None answers queries (the slot stays null).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "cadencehost/vel_array.h"
#include "cadencehost/vel_interfaces.h"
#include "cadencehost/vel_services.h"
#include "cadencehost/vel_string.h"
#include "text/vel_trivial_translator.h"

namespace cadence::test {

template <class I>
class PinnedService : public I {
 public:
  PinnedService() { this->refCount = 1 << 20; }
  void queryInterface(const char*, void* target) override {
    if (target) *static_cast<void**>(target) = nullptr;
  }
  const char* getClassName() override { return "PinnedService"; }
};

class FakeDataStore : public PinnedService<IDataStore> {
 public:
  FakeDataStore() = default;
  // The logs and the temporary directory both at `directory`.
  explicit FakeDataStore(const std::string& directory) {
    setString(IDataStore::kLogsDirectoryKey, directory);
    setString(IDataStore::kTempDirectoryKey, directory);
  }
  int32_t getBool(const char* key, int32_t defaultValue) override {
    auto it = bools.find(key);
    return it == bools.end() ? defaultValue : it->second;
  }
  const VelString& getString(const char* key, int32_t) override {
    auto it = strings.find(key);
    return it == strings.end() ? none : it->second;
  }
  void setString(const std::string& key, const std::string& value) { strings[key] = VelString(value.c_str()); }

  std::map<std::string, int32_t> bools;
  std::map<std::string, VelString> strings;
  VelString none;
};

// Logs "suspend" and "resume" into a shared event list.
class FakeRenderer : public PinnedService<IGfxRenderer> {
 public:
  explicit FakeRenderer(std::vector<std::string>* log) : events(log) {}
  int32_t suspendRendering() override { return events->push_back("suspend"), 0; }
  int32_t resumeRendering() override { return events->push_back("resume"), 0; }
  std::vector<std::string>* events;
};

struct ErrorReport {
  std::u16string message;
  int32_t severity;
  const VelBlockArray* details;
  const void* detailsData;
  int32_t detailsCapacity;
};

// Records every report, reading the VelString by its shared layout only;
// logs "report" into a shared event list when given one.
class RecordingErrorService : public PinnedService<IVelErrorService> {
 public:
  explicit RecordingErrorService(std::vector<std::string>* log = nullptr) : events(log) {}
  void reportError(const VelString& message, int32_t* severity, const VelBlockArray& details) override {
    if (events) events->push_back("report");
    reports.push_back({message.text ? std::u16string(message.text) : std::u16string(), severity ? *severity : -1,
                       &details, details.data, details.capacity});
    if (onReport) onReport();
  }
  std::vector<std::string>* events;
  std::vector<ErrorReport> reports;
  std::function<void()> onReport;
};

class FakeMemChecker : public PinnedService<IMemChecker> {
 public:
  bool suppliesFigures() override { return true; }
  int32_t memoryFigures(int64_t* sysFree, int64_t* sysTotal, int64_t* swapFree, int64_t* swapTotal,
                        int32_t unit) override {
    *sysFree = 11, *sysTotal = 22, *swapFree = 33, *swapTotal = unit;
    return 7;
  }
};

// A memory manager whose accounts are fixed and logged, and whose answer to
// freeOneUnit is scripted by call number (from 1; none: it refuses).
class FakeMManager : public PinnedService<VelMM::IVelMManager> {
 public:
  bool freeOneUnit() override {
    ++freeCalls;
    const bool gave = answer ? answer(freeCalls) : false;
    if (!gave) ++refusals;
    return gave;
  }
  int32_t coreLimit() override { return calls.push_back("coreLimit"), 200; }
  int32_t swapLimit() override { return calls.push_back("swapLimit"), 0x10000000; }
  int32_t swapNow() override { return calls.push_back("swapNow"), 3; }
  int32_t coreNow() override { return calls.push_back("coreNow"), 100; }

  std::function<bool(int call)> answer;
  int freeCalls = 0;
  int refusals = 0;
  std::vector<std::string> calls;
};

struct RecordedAssertion {
  std::string expression;
  std::string file;
  int32_t line;
};

class RecordingAssertHandler : public PinnedService<IVelAssertHandlerCB> {
 public:
  void assertionFailed(const char* expression, const char* file, int32_t line) override {
    seen.push_back({expression, file, line});
  }
  std::vector<RecordedAssertion> seen;
};

class FakeDirService : public PinnedService<IVelDirService> {
 public:
  const VelString& directoryFor(const char*) override { return directory; }
  VelString directory;
};

// A translator a host would supply: marks every text it translates.
class MarkingTranslator : public VelTrivialTranslator {
 public:
  MarkingTranslator() { refCount = 1 << 20; }
  bool lookupText(const char* key, VelString& out) override {
    out = VelString((std::string("T:") + key).c_str());
    return true;
  }
};

class FakeTranslatorService : public PinnedService<IVelTranslatorService> {
 public:
  IVelTranslator* defaultTranslator() override { return nullptr; }
  IVelTranslator* getTranslatorFor(const VelID* component) override {
    components.push_back(component);
    return answer;
  }
  IVelTranslator* answer = nullptr;
  std::vector<const VelID*> components;
};

// A test service that counts the tests it is asked to run.
class CountingTestService : public PinnedService<IVelTestService> {
 public:
  void runTest(intptr_t) override { ++calls; }
  int calls = 0;
};

}  // namespace cadence::test
