// Service pointers: reference counts around acquire and assign, the lookup
// without a reference, and the once-only versus retrying process-wide holders.
#include <gtest/gtest.h>

#include "cadencehost/vel_services.h"
#include "core/service_holders.h"
#include "tests/support/test_host.h"

namespace {

using cadence::test::ScopedHost;
using cadence::test::TestHost;

class FakeChecker : public IMemChecker {
 public:
  explicit FakeChecker(bool* destroyed = nullptr) : destroyed_(destroyed) {}
  ~FakeChecker() override {
    if (destroyed_) *destroyed_ = true;
  }
  bool suppliesFigures() override { return true; }
  int32_t memoryFigures(int64_t*, int64_t*, int64_t*, int64_t*, int32_t) override { return 0; }
  void queryInterface(const char*, void* target) override {
    if (target) *static_cast<void**>(target) = nullptr;
  }
  const char* getClassName() override { return "FakeChecker"; }

 private:
  bool* destroyed_;
};

// Records the service's count at the moment of every lookup.
class CountingHost : public TestHost {
 public:
  int32_t getService(const VelCString& name, void** slot) override {
    if (watched) countsAtLookup.push_back(watched->getRefCount());
    return TestHost::getService(name, slot);
  }
  IVelUnknown* watched = nullptr;
  std::vector<int32_t> countsAtLookup;
};

TEST(ServicePointer, NoHostMeansNothingAndResultZero) {
  ScopedHost none(nullptr);
  SPtr<IMemChecker> checker;
  EXPECT_EQ(checker.get(), nullptr);
  EXPECT_EQ(checker.holder(), nullptr);
  EXPECT_EQ(checker.acquire(), 0);
  void* slot = reinterpret_cast<void*>(0x5);
  EXPECT_EQ(lookupService(VelCString("IMemChecker"), &slot), 0);
  EXPECT_EQ(slot, reinterpret_cast<void*>(0x5));
}

TEST(ServicePointer, AcquireTakesOneReferenceAndReacquireReleasesFirst) {
  CountingHost host;
  FakeChecker service;
  host.offer<IMemChecker>("IMemChecker", &service);
  host.watched = &service;
  host.serviceResult = 7;
  ScopedHost scoped(&host);
  service.addRef();  // the host's own reference: the count never reaches 0
  {
    SPtr<IMemChecker> checker;
    EXPECT_EQ(checker.get(), &service);
    EXPECT_EQ(checker.holder(), static_cast<IVelUnknown*>(&service));
    EXPECT_EQ(service.getRefCount(), 2);
    EXPECT_EQ(checker.acquire(), 7);
    EXPECT_EQ(service.getRefCount(), 2);
  }
  EXPECT_EQ(service.getRefCount(), 1);
  // The second lookup happened after the first reference was given back.
  EXPECT_EQ(host.countsAtLookup, (std::vector<int32_t>{1, 1}));
  EXPECT_EQ(host.lookups, (std::vector<std::string>{"IMemChecker", "IMemChecker"}));

  // lookupService hands the pointer over without a reference.
  void* slot = nullptr;
  EXPECT_EQ(lookupService(VelCString("IMemChecker"), &slot), 7);
  EXPECT_EQ(slot, static_cast<void*>(static_cast<IMemChecker*>(&service)));
  EXPECT_EQ(service.getRefCount(), 1);
}

TEST(InterfacePointer, AssignOfTheHeldPointerKeepsTheObject) {
  ScopedHost none(nullptr);  // local counting: a count of 0 really destroys
  bool destroyed = false;
  auto* service = new FakeChecker(&destroyed);
  IPtr<IMemChecker> held;
  held.assign(service);
  held.assign(service);
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(service->getRefCount(), 1);
  IPtr<IMemChecker> copy(held);
  EXPECT_EQ(service->getRefCount(), 2);
  copy.reset();
  EXPECT_EQ(copy.get(), nullptr);
  EXPECT_EQ(service->getRefCount(), 1);
  held.reset();  // the last reference
  EXPECT_TRUE(destroyed);
}

TEST(ProcessWideHolders, RetryingFindsALateServiceOnceOnlyDoesNot) {
  TestHost host;
  FakeChecker service;
  ScopedHost scoped(&host);
  service.addRef();  // the host's own reference
  cadence::OnceService<IMemChecker> once;
  cadence::RetryingService<IMemChecker> retrying;
  EXPECT_EQ(once.get(), nullptr);
  EXPECT_EQ(retrying.get(), nullptr);  // the use that built it: no second lookup
  EXPECT_EQ(host.lookups.size(), 2u);

  host.offer<IMemChecker>("IMemChecker", &service);
  EXPECT_EQ(once.get(), nullptr);
  EXPECT_EQ(retrying.get(), &service);
  EXPECT_EQ(retrying.get(), &service);
  EXPECT_EQ(host.lookups.size(), 3u);  // found once, never asked again
  EXPECT_EQ(service.getRefCount(), 2);
}

TEST(ProcessWideHolders, AccessorsBuildOnFirstUse) {
  TestHost host;
  static FakeChecker service;  // outlives the process-wide holders
  service.addRef();            // its owner's reference, kept for good
  host.offer<IMemChecker>("IMemChecker", &service);
  ScopedHost scoped(&host);
  EXPECT_EQ(cadence::onceService<IMemChecker>(), &service);
  EXPECT_EQ(cadence::retryingService<IMemChecker>(), &service);
  EXPECT_EQ(cadence::onceService<IMemChecker>(), &service);
  EXPECT_EQ(host.lookups.size(), 2u);
  EXPECT_EQ(service.getRefCount(), 3);
}

}  // namespace
