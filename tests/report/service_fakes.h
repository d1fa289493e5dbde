// Host services for the report, notice, path and translator tests. Each fake
// starts with a large reference count, so a test may keep it on the stack.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

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

// Logs "suspend", "resume" and "report" into a shared event list.
class FakeRenderer : public PinnedService<IGfxRenderer> {
 public:
  explicit FakeRenderer(std::vector<std::string>* log) : events(log) {}
  int32_t suspendRendering() override { return events->push_back("suspend"), 0; }
  int32_t resumeRendering() override { return events->push_back("resume"), 0; }
  std::vector<std::string>* events;
};

class FakeErrorService : public PinnedService<IVelErrorService> {
 public:
  explicit FakeErrorService(std::vector<std::string>* log) : events(log) {}
  void reportError(const VelString& message, int32_t* severity, const VelBlockArray& details) override {
    events->push_back("report");
    messages.emplace_back(message.text ? message.text : u"");
    severities.push_back(*severity);
    detailArrays.push_back(&details);
  }
  std::vector<std::string>* events;
  std::vector<std::u16string> messages;
  std::vector<int32_t> severities;
  std::vector<const VelBlockArray*> detailArrays;
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

class FakeMManager : public PinnedService<VelMM::IVelMManager> {
 public:
  bool freeOneUnit() override { return false; }
  int32_t coreLimit() override { return calls.push_back("coreLimit"), 200; }
  int32_t swapLimit() override { return calls.push_back("swapLimit"), 0x10000000; }
  int32_t swapNow() override { return calls.push_back("swapNow"), 3; }
  int32_t coreNow() override { return calls.push_back("coreNow"), 100; }
  std::vector<std::string> calls;
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

}  // namespace cadence::test
