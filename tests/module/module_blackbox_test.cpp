// The module as a host sees it: loaded with dlopen, reached through EntryPoint
// and the host-facing interfaces only.
#include <algorithm>
#include <cstring>

#include "cadencehost/module_ids.h"
#include "cadencehost/vel_query.h"
#include "tests/module/module_test_support.h"
#include "tests/support/test_host.h"

namespace {

using cadence::test::CountingTestService;
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

// The module's own values, which a host may rely on; the rules every module
// keeps (statuses, near misses, the listing, counts) are validate's to check
// (tests/host/validate/).
TEST(ModuleComponent, AnswersWithTheModulesIdentity) {
  Session s;
  ASSERT_NE(s.internal, nullptr);
  EXPECT_STREQ(s.component->getBuildDate(), "2011-10-27 13:41");
  EXPECT_STREQ(s.internal->getModuleName(), "cadencehost_mod");
  ASSERT_NE(s.internal->getComponentId(), nullptr);
  EXPECT_EQ(*s.internal->getComponentId(), kVelComponentId);
  EXPECT_STREQ(s.component->getClassName(), "VelBaseComponent");
  // What validate does not try: a null version slot is skipped, not written,
  // and createInstance without an output slot gives status 0.
  IVelComponent* another = nullptr;
  EXPECT_EQ(moduleEntryPoint()(nullptr, &another), 1);
  ASSERT_NE(another, nullptr);
  another->addRef();
  another->releaseRef();
  EXPECT_EQ(s.component->createInstance(kVelTimerServiceClassId, nullptr), 0u);
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

  // A host taking and dropping a reference never frees the static object.
  const uint8_t* bytes = binary->getBinaryId();
  binary->addRef();
  binary->releaseRef();
  EXPECT_EQ(s.component->getBinary(), binary);
  EXPECT_EQ(binary->getBinaryId(), bytes);
  EXPECT_EQ(binary->getBinaryIdSize(), 16u);
}

TEST(ModuleHost, CountingGoesThroughTheHostUntilItIsTakenOut) {
  TestHost host;
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
  TestHost host;
  Session s(&host);
  s.internal->runTests(nullptr);
  // (the string pool may ask for the host's pool too)
  EXPECT_EQ(std::count(host.lookups.begin(), host.lookups.end(), "IVelErrorService"), 2);
  EXPECT_EQ(host.statusCalls, 1);
}

}  // namespace
