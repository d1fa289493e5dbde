// The timer service seen from outside: the built module is loaded with dlopen
// and reached only through its export and the host-facing headers, the way a
// host does it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "cadencehost/entry_point.h"
#include "cadencehost/module_ids.h"
#include "cadencehost/timer_interfaces.h"
#include "cadencehost/vel_id.h"
#include "cadencehost/vel_object.h"
#include "cadencehost/vel_query.h"
#include "tests/module/module_test_support.h"
#include "tests/support/test_application.h"
#include "tests/support/test_host.h"

namespace {

const VelID& kTimerServiceId = kVelTimerServiceClassId;

QCoreApplication& app() { return cadence::test::testApplication(); }

template <class I>
I* query(IVelUnknown* object, const char* name) {
  void* slot = nullptr;
  object->queryInterface(name, &slot);
  return static_cast<I*>(slot);
}

class TimerModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    VelEntryPointFn entryPoint = cadence::test::moduleEntryPoint();
    ASSERT_NE(entryPoint, nullptr);
    uint32_t version = 0;
    ASSERT_EQ(entryPoint(&version, &component), 1);
    ASSERT_EQ(version, 100u);
    ASSERT_NE(component, nullptr);
    component->addRef();  // the host's reference
    internal = query<IVelCompInternal>(component, "IVelCompInternal");
    ASSERT_NE(internal, nullptr);
  }

  void TearDown() override {
    if (component) component->releaseRef();
  }

  IVelComponent* component = nullptr;
  IVelCompInternal* internal = nullptr;
};

TEST_F(TimerModuleTest, ListsTheTimerServiceAsItsOnlyClass) {
  EXPECT_EQ(internal->getClassCount(), 1u);
  VelID id;
  ASSERT_TRUE(internal->getFirstClassId(id));
  EXPECT_TRUE(id == kTimerServiceId);
  EXPECT_FALSE(internal->getNextClassId(id));
  EXPECT_STREQ(internal->getClassNameOf(kTimerServiceId), "TimerService");
  EXPECT_EQ(internal->getClassNameOf(VelID(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11)), nullptr);
}

// Without a host: the module counts locally.
TEST_F(TimerModuleTest, CreateInstanceTwiceGivesOneServiceWithStatus2AndCount1) {
  IVelUnknown* first = nullptr;
  IVelUnknown* second = nullptr;
  EXPECT_EQ(component->createInstance(kTimerServiceId, &first), 2u);
  EXPECT_EQ(component->createInstance(kTimerServiceId, &second), 2u);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  EXPECT_EQ(first->getRefCount(), 1);
  EXPECT_STREQ(first->getClassName(), "TimerService");
  EXPECT_NE(query<Velmora::ITimerServiceV2>(first, "ITimerServiceV2"), nullptr);
  EXPECT_NE(query<IShutdownListener>(first, "IShutdownListener"), nullptr);
  EXPECT_EQ(query<void>(first, "ITimer"), nullptr);
}

// A listener of the host's own making, counted by the host's runtime.
class HostListener : public Velmora::ITimerListener {
 public:
  void alert() override { ++alerts; }
  void queryInterface(const char* name, void* target) override {
    void** slot = name ? velQuerySlot(target) : nullptr;
    if (slot && velNameIs(name, "ITimerListener")) *slot = static_cast<Velmora::ITimerListener*>(this);
  }
  const char* getClassName() override { return "HostListener"; }
  int alerts = 0;
};

// Installs a host on the module for a scope; the module counts by itself
// again after it.
class ModuleHostScope {
 public:
  ModuleHostScope(IVelComponent* component, IVelHost* host) : component_(component) { component->setHost(host); }
  ~ModuleHostScope() { component_->setHost(nullptr); }

 private:
  IVelComponent* component_;
};

TEST_F(TimerModuleTest, ATimerMadeThroughTheModuleAlertsAHostListener) {
  app();
  static cadence::test::TestHost host;  // outlives everything the module holds
  const ModuleHostScope withHost(component, &host);

  IVelUnknown* object = nullptr;
  ASSERT_EQ(component->createInstance(kTimerServiceId, &object), 2u);
  auto* service = query<Velmora::ITimerServiceV2>(object, "ITimerServiceV2");
  ASSERT_NE(service, nullptr);

  HostListener listener;
  listener.addRef();  // the host's own reference
  Velmora::ITimer* timer = service->createTimer("pulse");
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(service->getTimer("pulse"), timer);
  EXPECT_EQ(query<Velmora::ITimer>(timer, "ITimer"), timer);
  timer->addListener(&listener);
  EXPECT_EQ(listener.getRefCount(), 2);
  timer->start(10);

  QElapsedTimer clock;
  clock.start();
  while (listener.alerts < 3 && clock.elapsed() < 3000) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
  }
  EXPECT_GE(listener.alerts, 3);

  auto* shutdown = query<IShutdownListener>(object, "IShutdownListener");
  ASSERT_NE(shutdown, nullptr);
  shutdown->onShutdown();
  const int afterShutdown = listener.alerts;
  clock.restart();
  while (clock.elapsed() < 50) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
  EXPECT_EQ(listener.alerts, afterShutdown);
  EXPECT_TRUE(service->hasTimer("pulse"));

  EXPECT_TRUE(service->removeTimer("pulse"));  // the last reference: the timer goes
  EXPECT_EQ(listener.getRefCount(), 1);
  EXPECT_FALSE(service->hasTimer("pulse"));
}

}  // namespace
