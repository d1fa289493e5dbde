// The module as a host sees it: loaded with dlopen, reached through EntryPoint
// and the host-facing interfaces only.
#include <algorithm>
#include <cstring>

#include "cadencehost/vel_query.h"
#include "tests/module/module_test_support.h"
#include "tests/support/test_host.h"

namespace {

using cadence::test::ErrorReport;
using cadence::test::moduleEntryPoint;
using cadence::test::RecordingErrorService;
using cadence::test::TestHost;

// A component handed out by the module, with the host installed for its
// lifetime; the host is taken out again and the component released after.
class Session {
 public:
  explicit Session(TestHost* host = nullptr) {
    uint32_t version = 0;
    EXPECT_EQ(moduleEntryPoint()(&version, &component), 1);
    EXPECT_EQ(version, 100u);
    component->addRef();
    if (host) component->setHost(host);
    void* slot = nullptr;
    component->queryInterface("IVelCompInternal", &slot);
    internal = static_cast<IVelCompInternal*>(slot);
  }
  ~Session() {
    component->setHost(nullptr);
    component->releaseRef();
  }
  IVelComponent* component = nullptr;
  IVelCompInternal* internal = nullptr;
};

class StatusCountingHost : public TestHost {
 public:
  char getTestStatus() override {
    ++statusCalls;
    return TestHost::getTestStatus();
  }
  int statusCalls = 0;
};

class CountingTestService : public IVelTestService {
 public:
  CountingTestService() { addRef(); }
  void runTest(intptr_t) override { ++calls; }
  void queryInterface(const char*, void* target) override {
    if (target) *static_cast<void**>(target) = nullptr;
  }
  const char* getClassName() override { return "CountingTestService"; }
  int calls = 0;
};

const VelID kComponentId(0xE6BE9F43u, 0xF2E6u, 0x4917u, 0x93, 0x0E, 0xF7, 0x24, 0xB2, 0xDE, 0x29,
                         0xF2);

TEST(ModuleEntryPoint, AnswersAndNewObjects) {
  VelEntryPointFn entry = moduleEntryPoint();
  ASSERT_NE(entry, nullptr);
  uint32_t version = 55;
  EXPECT_EQ(entry(&version, nullptr), 0);
  EXPECT_EQ(version, 55u);

  IVelComponent* first = nullptr;
  IVelComponent* second = nullptr;
  ASSERT_EQ(entry(&version, &first), 1);
  EXPECT_EQ(version, 100u);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->getRefCount(), 0);
  EXPECT_EQ(entry(nullptr, &second), 1);  // a null version slot is skipped, not written
  EXPECT_NE(second, nullptr);
  EXPECT_NE(first, second);
  for (IVelComponent* c : {first, second}) {
    c->addRef();
    c->releaseRef();
  }
}

TEST(ModuleComponent, IdentityNamesAndQueries) {
  Session s;
  ASSERT_NE(s.internal, nullptr);
  EXPECT_STREQ(s.component->getBuildDate(), "2011-10-27 13:41");
  EXPECT_STREQ(s.internal->getBuildDate(), "2011-10-27 13:41");
  EXPECT_STREQ(s.internal->getModuleName(), "cadencehost_mod");
  const VelID* id = s.internal->getComponentId();
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(*id, kComponentId);
  EXPECT_EQ(s.internal->getComponentId(), id);
  EXPECT_TRUE(s.internal->isValid());
  s.component->reserved(nullptr, nullptr, nullptr);
  s.internal->reserved1();
  s.internal->reserved2();
  EXPECT_STREQ(s.component->getClassName(), "VelBaseComponent");

  void* slot = nullptr;
  s.component->queryInterface("VelBaseComponent", &slot);
  EXPECT_EQ(slot, static_cast<void*>(s.component));
  s.component->queryInterface("IVelUnknown", &slot);
  EXPECT_EQ(slot, static_cast<void*>(static_cast<IVelUnknown*>(s.component)));
  for (const char* wrong : {"IVelComp", "IVelComponentX", "ivelcomponent", ""}) {
    slot = reinterpret_cast<void*>(0x1);
    s.component->queryInterface(wrong, &slot);
    EXPECT_EQ(slot, nullptr) << wrong;
  }
  // No enumeration mode: the record stays as it was.
  VelArray<VelCString> stack;
  VelArray<VelNameEntry> entries;
  VelNameQuery record{&stack, &entries, {nullptr, 1, 0}, 0};
  s.component->queryInterface(nullptr, &record);
  EXPECT_EQ(entries.count, 0);
  EXPECT_EQ(stack.count, 0);
  EXPECT_EQ(record.stopped, 0);
}

TEST(ModuleComponent, ClassListingIsConsistentAndBadInputIsHarmless) {
  Session s;
  VelID id(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11);
  EXPECT_FALSE(s.internal->getNextClassId(id));  // before any getFirstClassId
  std::vector<VelID> listed;
  for (bool more = s.internal->getFirstClassId(id); more; more = s.internal->getNextClassId(id)) {
    listed.push_back(id);
  }
  EXPECT_EQ(listed.size(), s.internal->getClassCount());
  EXPECT_FALSE(s.internal->getNextClassId(id));  // after it returned false
  for (const VelID& listedId : listed) EXPECT_NE(s.internal->getClassNameOf(listedId), nullptr);

  const VelID unknown(0x01020304u, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14);
  EXPECT_EQ(s.internal->getClassNameOf(unknown), nullptr);
  IVelUnknown* sentinel = reinterpret_cast<IVelUnknown*>(0x77);
  IVelUnknown* object = sentinel;
  EXPECT_EQ(s.component->createInstance(unknown, &object), 0u);
  EXPECT_EQ(object, sentinel);
  for (const VelID& listedId : listed) EXPECT_EQ(s.component->createInstance(listedId, nullptr), 0u);
}

TEST(ModuleBinaryObject, OneSingletonWithTheModuleIdentifier) {
  TestHost host;
  Session s(&host);
  Session other;
  IVelClcBinary* binary = s.component->getBinary();
  ASSERT_NE(binary, nullptr);
  EXPECT_EQ(other.component->getBinary(), binary);
  EXPECT_EQ(binary->getBinaryVersion(), 1u);
  ASSERT_EQ(binary->getBinaryIdSize(), 16u);
  const uint8_t expected[16] = {0xb5, 0xe2, 0x61, 0xdc, 0x48, 0x5e, 0xf4, 0xe7,
                                0x9f, 0x8e, 0x0a, 0xdb, 0x71, 0xf7, 0x45, 0x90};
  EXPECT_EQ(std::memcmp(binary->getBinaryId(), expected, 16), 0);
  EXPECT_STREQ(binary->getClassName(), "VelClcBinary");
  void* slot = nullptr;
  binary->queryInterface("IVelClcBinary", &slot);
  EXPECT_EQ(slot, static_cast<void*>(binary));
  binary->queryInterface("VelClcBinary", &slot);
  EXPECT_EQ(slot, static_cast<void*>(binary));

  // A host taking and dropping a reference never frees the static object.
  const uint8_t* bytes = binary->getBinaryId();
  binary->addRef();
  binary->releaseRef();
  EXPECT_EQ(s.component->getBinary(), binary);
  EXPECT_EQ(binary->getBinaryId(), bytes);
  EXPECT_EQ(binary->getBinaryIdSize(), 16u);
}

TEST(ModuleHost, CountingGoesThroughTheHostUntilItIsTakenOut) {
  StatusCountingHost host;
  uint32_t version = 0;
  IVelComponent* component = nullptr;
  ASSERT_EQ(moduleEntryPoint()(&version, &component), 1);
  component->setHost(&host);
  component->addRef();
  EXPECT_EQ(host.addRefCounters.size(), 1u);
  EXPECT_EQ(component->getRefCount(), 1);

  component->setHost(nullptr);  // back to counting in the module, no host services
  component->addRef();
  EXPECT_EQ(host.addRefCounters.size(), 1u);
  EXPECT_EQ(component->getRefCount(), 2);
  void* slot = nullptr;
  component->queryInterface("IVelCompInternal", &slot);
  static_cast<IVelCompInternal*>(slot)->runTests(nullptr);  // nobody to ask: nothing happens
  EXPECT_TRUE(host.lookups.empty());
  EXPECT_EQ(host.statusCalls, 0);
  component->releaseRef();
  component->releaseRef();  // destroyed by the module's own count
  EXPECT_TRUE(host.releaseRefCounters.empty());
}

TEST(ModuleRunTests, WithoutTestServiceReportsTwiceThroughTheErrorService) {
  TestHost host;
  host.testStatus = 'Q';
  RecordingErrorService errors;
  errors.refCount = 1;  // the host's own reference only
  host.offer<IVelErrorService>("IVelErrorService", &errors);
  Session s(&host);
  s.internal->runTests(nullptr);
  ASSERT_EQ(errors.reports.size(), 2u);
  EXPECT_EQ(errors.reports[0].message, u"Unable to get test service");
  EXPECT_EQ(errors.reports[1].message, u"Q");
  for (const ErrorReport& r : errors.reports) {
    EXPECT_EQ(r.severity, 1);
    EXPECT_EQ(r.detailsData, nullptr);
    EXPECT_EQ(r.detailsCapacity, 0);
  }
  EXPECT_EQ(errors.getRefCount(), 1);  // every temporary reference was given back

  // With a test service nothing is called: the module's test list is empty.
  CountingTestService tests;
  s.internal->runTests(&tests);
  EXPECT_EQ(tests.calls, 0);
  EXPECT_EQ(errors.reports.size(), 2u);
}

TEST(ModuleRunTests, ReEntryFromAReportReturnsAtOnce) {
  TestHost host;
  RecordingErrorService errors;
  host.offer<IVelErrorService>("IVelErrorService", &errors);
  Session s(&host);
  CountingTestService tests;
  errors.onReport = [&] {
    s.internal->runTests(nullptr);
    s.internal->runTests(&tests);
  };
  s.internal->runTests(nullptr);
  EXPECT_EQ(errors.reports.size(), 2u);
  errors.onReport = nullptr;
  s.internal->runTests(nullptr);  // the flag was cleared after the first run
  EXPECT_EQ(errors.reports.size(), 4u);
}

TEST(ModuleRunTests, WithoutErrorServiceIsSilent) {
  StatusCountingHost host;
  Session s(&host);
  s.internal->runTests(nullptr);
  // (the string pool may ask for the host's pool too)
  EXPECT_EQ(std::count(host.lookups.begin(), host.lookups.end(), "IVelErrorService"), 2);
  EXPECT_EQ(host.statusCalls, 1);
}

}  // namespace
