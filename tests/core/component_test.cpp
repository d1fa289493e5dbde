// The component without a class factory or host, its forwarding to a class
// factory, and the self-test list.
#include <gtest/gtest.h>

#include <algorithm>

#include "cadencehost/module_ids.h"
#include "core/class_factory.h"
#include "core/component.h"
#include "tests/support/service_fakes.h"
#include "tests/support/test_host.h"

namespace {

using cadence::test::CountingTestService;
using cadence::test::ScopedHost;
using cadence::test::TestHost;

// Points the component at a class factory for one test, then restores it.
VelComponentState withClassFactory(IVelClassFactory* factory) {
  VelComponentState state = velComponentState();
  state.classFactory = factory;
  return state;
}

TEST(Component, WithoutClassFactoryAnswersEmpty) {
  VelScopedComponentState none(withClassFactory(nullptr));
  VelBaseComponent component;
  IVelUnknown* sentinel = reinterpret_cast<IVelUnknown*>(0x10);
  IVelUnknown* object = sentinel;
  EXPECT_EQ(component.createInstance(kVelTimerServiceClassId, &object), 0u);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(component.createInstance(kVelTimerServiceClassId, nullptr), 0u);
  VelID id;
  EXPECT_EQ(component.getClassCount(), 0u);
  EXPECT_FALSE(component.getFirstClassId(id));
  EXPECT_FALSE(component.getNextClassId(id));
  EXPECT_EQ(component.getClassNameOf(kVelTimerServiceClassId), nullptr);
}

TEST(Component, ForwardsToItsClassFactory) {
  VelClassTable table;
  VelDefaultClassFactory factory(table);
  class Thing : public virtual IVelUnknown {
    void queryInterface(const char*, void*) override {}
    const char* getClassName() override { return "Thing"; }
  };
  VelSingletonTClassItemFactory<Thing> things("Thing", nullptr, kVelTimerServiceClassId, factory);
  VelScopedComponentState use(withClassFactory(&factory));
  VelBaseComponent component;
  EXPECT_EQ(component.getClassCount(), 1u);
  VelID id;
  EXPECT_TRUE(component.getFirstClassId(id));
  EXPECT_EQ(id, kVelTimerServiceClassId);
  EXPECT_FALSE(component.getNextClassId(id));
  EXPECT_STREQ(component.getClassNameOf(id), "Thing");
  IVelUnknown* object = nullptr;
  EXPECT_EQ(component.createInstance(id, &object), 2u);
  EXPECT_EQ(object, static_cast<IVelUnknown*>(things.instance()));
  object->releaseRef();
}

TEST(Component, SelfTestListAndRunsWithoutHost) {
  ScopedHost none(nullptr);
  VelBaseComponent component;
  CountingTestService service;
  component.runTests(&service);
  EXPECT_EQ(service.calls, 0);
  const VelArray<VelTestEntry*>& list = velTestList();
  EXPECT_EQ(list.capacity, 21);
  EXPECT_EQ(list.count, 0);
  for (int32_t i = 0; i < list.capacity; ++i) EXPECT_EQ(list.data[i], nullptr);
  EXPECT_EQ(&velTestList(), &list);
  // Without a test service and without a host there is nobody to tell.
  component.runTests(nullptr);
  EXPECT_FALSE(velRunningTests());

  // With a host but no error service: the status is still asked for.
  TestHost host;
  ScopedHost scoped(&host);
  component.runTests(nullptr);
  EXPECT_EQ(host.statusCalls, 1);
  // (the string pool may ask for the host's pool too)
  EXPECT_EQ(std::count(host.lookups.begin(), host.lookups.end(), "IVelErrorService"), 2);
}

}  // namespace
