// Velmora::TimerService: the named registry (creation, replacement, removal,
// names, growth), shutdown, the query table, lookups without allocation, and
// creation through the module's class factory.
#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "cadencehost/module_ids.h"
#include "cadencehost/vel_array.h"
#include "cadencehost/vel_id.h"
#include "core/class_factory.h"
#include "tests/timers/timer_test_support.h"
#include "timers/timer_impl.h"
#include "timers/timer_service.h"

using cadence::test::ListenerArray;
using cadence::test::RecordingListener;
using Velmora::ITimer;
using Velmora::ITimerService;
using Velmora::ITimerServiceV2;
using Velmora::TimerImpl;
using Velmora::TimerService;

namespace {

class TimerServiceTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { cadence::test::app(); }
  TimerServiceTest() : service(new TimerService) { service->addRef(); }
  ~TimerServiceTest() override { service->releaseRef(); }

  TimerImpl* impl(ITimer* timer) { return dynamic_cast<TimerImpl*>(timer); }
  // A new timer `name` the test holds a reference on, alerting `listener` every 5 ms.
  ITimer* heldRunning(const char* name, Velmora::ITimerListener* listener) {
    ITimer* timer = service->createTimer(name);
    timer->addRef();
    timer->addListener(listener);
    timer->start(5);
    return timer;
  }

  TimerService* service;
};

TEST_F(TimerServiceTest, NewServiceIsEmptyWith17BucketsAndNoArray) {
  EXPECT_EQ(service->registry().bucketCount(), 17u);
  EXPECT_FALSE(service->registry().hasBucketArray());
  EXPECT_EQ(service->registry().entryCount(), 0);
  EXPECT_FALSE(service->hasTimer("a"));
  EXPECT_EQ(service->getTimer("a"), nullptr);
  EXPECT_FALSE(service->hasTimer("a"));
  EXPECT_FALSE(service->removeTimer("a"));
  EXPECT_FALSE(service->registry().hasBucketArray());
}

TEST_F(TimerServiceTest, CreatedTimerIsStoppedRegisteredAndHeldOnce) {
  ITimer* t = service->createTimer("clock");
  ASSERT_NE(t, nullptr);
  EXPECT_FALSE(impl(t)->isRunning());
  EXPECT_EQ(impl(t)->listenerCount(), 0);
  EXPECT_EQ(t->getRefCount(), 1);
  EXPECT_EQ(service->getTimer("clock"), t);
  EXPECT_TRUE(service->hasTimer("clock"));
  EXPECT_EQ(service->registry().bucketCount(), 17u);
  EXPECT_TRUE(service->registry().hasBucketArray());
}

TEST_F(TimerServiceTest, SecondCreateReplacesAndDestroysTheFirstWithItsListeners) {
  ListenerArray ls(2);
  ITimer* first = service->createTimer("tick");
  first->addListener(&ls[0]);
  first->addListener(&ls[1]);
  first->start(5);
  EXPECT_EQ(ls[0].getRefCount(), 2);

  ITimer* second = service->createTimer("tick");
  EXPECT_NE(second, first);
  EXPECT_EQ(service->getTimer("tick"), second);
  EXPECT_EQ(service->registry().entryCount(), 1);
  EXPECT_EQ(ls[0].getRefCount(), 1);  // released by the destroyed first timer
  EXPECT_EQ(ls[1].getRefCount(), 1);
  cadence::test::pumpFor(40);
  EXPECT_EQ(ls[0].alerts, 0);
}

// The registry makes a new name's entry before the timer; a maker that fails
// leaves the table as it was, for a new name and for a registered one.
TEST_F(TimerServiceTest, ATimerThatCannotBeMadeLeavesTheRegistryAsItWas) {
  Velmora::TimerRegistry registry;
  auto failing = []() -> ITimer* { throw std::bad_alloc(); };
  EXPECT_THROW(registry.put(VelCString::copyOf("first"), failing), std::bad_alloc);
  EXPECT_EQ(registry.entryCount(), 0);
  EXPECT_FALSE(registry.hasBucketArray());

  ITimer* kept = registry.put(VelCString::copyOf("kept"), [] { return new TimerImpl; });
  EXPECT_EQ(kept->getRefCount(), 1);
  EXPECT_THROW(registry.put("kept", failing), std::bad_alloc);
  EXPECT_EQ(registry.find("kept"), kept);
  EXPECT_EQ(kept->getRefCount(), 1);
  EXPECT_FALSE(registry.contains("first"));
  EXPECT_EQ(registry.entryCount(), 1);
}

TEST_F(TimerServiceTest, ReplacedTimerHeldByAClientLivesOnUnregistered) {
  ListenerArray ls(1);
  ITimer* first = heldRunning("tick", &ls[0]);
  service->createTimer("tick");
  EXPECT_EQ(first->getRefCount(), 1);
  EXPECT_TRUE(cadence::test::pumpUntil([&] { return ls[0].alerts >= 2; }, 3000));  // still running
  service->onShutdown();                                                           // no longer reached by the service
  EXPECT_TRUE(impl(first)->isRunning());
  first->releaseRef();
  EXPECT_EQ(ls[0].getRefCount(), 1);
}

TEST_F(TimerServiceTest, RemoveStopsUnregistersAndLeavesAClientsTimerUsable) {
  ListenerArray ls(1);
  ITimer* t = heldRunning("run", &ls[0]);
  EXPECT_TRUE(service->removeTimer("run"));
  EXPECT_FALSE(impl(t)->isRunning());
  EXPECT_FALSE(service->hasTimer("run"));
  EXPECT_EQ(service->getTimer("run"), nullptr);
  EXPECT_FALSE(service->removeTimer("run"));
  EXPECT_EQ(t->getRefCount(), 1);
  EXPECT_EQ(impl(t)->listenerCount(), 1);
  t->start(5);  // the client may start it again
  EXPECT_TRUE(cadence::test::pumpUntil([&] { return ls[0].alerts >= 1; }, 3000));
  t->releaseRef();
  EXPECT_EQ(ls[0].getRefCount(), 1);
}

TEST_F(TimerServiceTest, RemovingTheLastReferenceDestroysTheTimer) {
  bool destroyed = false;
  auto* listener = new RecordingListener;
  listener->destroyedFlag = &destroyed;
  service->createTimer("x")->addListener(listener);
  EXPECT_TRUE(service->removeTimer("x"));
  EXPECT_TRUE(destroyed);  // the timer went, and released its only listener
  EXPECT_EQ(service->registry().entryCount(), 0);
}

TEST_F(TimerServiceTest, NamesAreCaseSensitiveAndEmptyDiffersFromNull) {
  ITimer* lower = service->createTimer("timer");
  ITimer* upper = service->createTimer("Timer");
  ITimer* empty = service->createTimer("");
  EXPECT_FALSE(service->hasTimer(VelCString()));
  ITimer* null = service->createTimer(VelCString());
  EXPECT_EQ(service->registry().entryCount(), 4);
  EXPECT_NE(lower, upper);
  EXPECT_NE(empty, null);
  EXPECT_EQ(service->getTimer("timer"), lower);
  EXPECT_EQ(service->getTimer("Timer"), upper);
  EXPECT_EQ(service->getTimer(""), empty);
  EXPECT_EQ(service->getTimer(VelCString()), null);
  EXPECT_TRUE(service->removeTimer(VelCString()));
  EXPECT_TRUE(service->hasTimer(""));
  EXPECT_FALSE(service->hasTimer(VelCString()));
}

TEST_F(TimerServiceTest, OwnedNameIsCopiedBorrowedNameIsNot) {
  {
    VelCString owned = VelCString::copyOf("owned-name");
    service->createTimer(owned);
  }  // the caller's block is gone; the entry has its own
  std::string probe = "owned-name";
  EXPECT_TRUE(service->hasTimer(probe.c_str()));

  static const char kBorrowed[] = "borrowed-name";
  ITimer* t = service->createTimer(kBorrowed);
  EXPECT_EQ(service->getTimer(std::string(kBorrowed).c_str()), t);
}

TEST_F(TimerServiceTest, OwnedNamesOfEveryLengthAreKeptWhole) {
  // Lengths around the part of an entry's line left for its name copy, and
  // far beyond it.
  std::vector<std::string> names;
  for (size_t length : {0u, 1u, 7u, 23u, 24u, 31u, 32u, 33u, 63u, 64u, 65u, 300u})
    names.push_back(std::string(length, static_cast<char>('a' + length % 26)));
  std::vector<ITimer*> timers;
  for (const std::string& name : names) {
    VelCString owned = VelCString::copyOf(name.c_str());
    timers.push_back(service->createTimer(owned));
  }
  for (size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(service->getTimer(names[i].c_str()), timers[i]) << names[i].size();
    EXPECT_FALSE(service->hasTimer((names[i] + "x").c_str()));
  }
  for (const std::string& name : names) EXPECT_TRUE(service->removeTimer(name.c_str()));
  EXPECT_EQ(service->registry().entryCount(), 0);
}

TEST_F(TimerServiceTest, RegistryGrowsAt80PercentAndKeepsEveryName) {
  std::vector<std::string> names;
  std::vector<ITimer*> timers;
  for (int i = 0; i < 54; ++i) {
    names.push_back("timer-" + std::to_string(i));
    timers.push_back(service->createTimer(VelCString::copyOf(names.back().c_str())));
    const uint32_t buckets = service->registry().bucketCount();
    if (i + 1 < 14)
      EXPECT_EQ(buckets, 17u) << i;
    else if (i + 1 < 30)
      EXPECT_EQ(buckets, 37u) << i;
    else if (i + 1 < 54)
      EXPECT_EQ(buckets, 67u) << i;
    else
      EXPECT_EQ(buckets, 131u) << i;
  }
  for (size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(service->getTimer(names[i].c_str()), timers[i]) << names[i];
  }
  for (size_t i = 0; i < names.size(); i += 2) EXPECT_TRUE(service->removeTimer(names[i].c_str()));
  EXPECT_EQ(service->registry().bucketCount(), 131u);  // never shrinks
  for (size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(service->hasTimer(names[i].c_str()), i % 2 == 1) << names[i];
  }
}

TEST_F(TimerServiceTest, RemovalFromAnyPlaceInAChainKeepsTheRest) {
  // Four names in one bucket of 17: chain order newest first: c3 c2 c1 c0.
  std::vector<std::string> names;
  for (int i = 0; names.size() < 4; ++i) {
    std::string name = "k" + std::to_string(i);
    if (VelCString::nameHashOf(name.c_str()) % 17 == 5) names.push_back(name);
  }
  for (auto& n : names) service->createTimer(VelCString::copyOf(n.c_str()));
  auto reachable = [&] {
    std::string out;
    for (auto& n : names) out += service->hasTimer(n.c_str()) ? '1' : '0';
    return out;
  };
  EXPECT_TRUE(service->removeTimer(names[1].c_str()));  // middle
  EXPECT_EQ(reachable(), "1011");
  EXPECT_TRUE(service->removeTimer(names[3].c_str()));  // head
  EXPECT_EQ(reachable(), "1010");
  EXPECT_TRUE(service->removeTimer(names[0].c_str()));  // tail
  EXPECT_EQ(reachable(), "0010");
  EXPECT_FALSE(service->removeTimer(names[0].c_str()));
  EXPECT_EQ(service->registry().entryCount(), 1);
}

TEST_F(TimerServiceTest, ShutdownStopsEveryTimerAndKeepsThemRestartable) {
  ListenerArray ls(3);
  const char* names[] = {"one", "two", "three"};
  std::vector<ITimer*> timers;
  for (int i = 0; i < 3; ++i) {
    timers.push_back(service->createTimer(names[i]));
    timers[i]->addListener(&ls[i]);
    timers[i]->start(5);
  }
  service->onShutdown();
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(impl(timers[i])->isRunning()) << names[i];
    EXPECT_TRUE(service->hasTimer(names[i]));
    EXPECT_EQ(timers[i]->getRefCount(), 1);
    EXPECT_EQ(ls[i].getRefCount(), 2);
  }
  const int before = ls[1].alerts;
  cadence::test::pumpFor(40);
  EXPECT_EQ(ls[1].alerts, before);
  service->getTimer("two")->start(5);
  EXPECT_TRUE(cadence::test::pumpUntil([&] { return ls[1].alerts >= before + 2; }, 3000));
  service->onShutdown();  // works again
  EXPECT_FALSE(impl(timers[1])->isRunning());
  for (const char* name : names) EXPECT_TRUE(service->removeTimer(name));
  EXPECT_EQ(ls[0].getRefCount(), 1);
}

TEST_F(TimerServiceTest, LookupsByABorrowedNameAllocateNothing) {
  for (int i = 0; i < 40; ++i) service->createTimer(VelCString::copyOf(("name-" + std::to_string(i)).c_str()));
  const char* present = "name-17";
  const char* absent = "name-99";
  cadence::test::AllocationCounter allocations;
  EXPECT_NE(service->getTimer(present), nullptr);
  EXPECT_TRUE(service->hasTimer(present));
  EXPECT_EQ(service->getTimer(absent), nullptr);
  EXPECT_FALSE(service->hasTimer(absent));
  service->onShutdown();
  EXPECT_EQ(allocations.count(), 0);
}

TEST_F(TimerServiceTest, QueryTableAndEnumeration) {
  void* slot = nullptr;
  service->queryInterface("TimerService", &slot);
  EXPECT_EQ(slot, static_cast<void*>(service));
  service->queryInterface("IVelUnknown", &slot);
  EXPECT_EQ(slot, static_cast<void*>(static_cast<IVelUnknown*>(service)));
  service->queryInterface("ITimerService", &slot);
  EXPECT_EQ(slot, static_cast<void*>(static_cast<ITimerService*>(service)));
  service->queryInterface("ITimerServiceV2", &slot);
  EXPECT_EQ(slot, static_cast<void*>(static_cast<ITimerServiceV2*>(service)));
  service->queryInterface("IShutdownListener", &slot);
  EXPECT_EQ(slot, static_cast<void*>(static_cast<IShutdownListener*>(service)));
  for (const char* other : {"ITimer", "timerservice", "TIMERSERVICE", "ITimerServiceV", "ITimerServiceV2 "}) {
    slot = reinterpret_cast<void*>(1);
    service->queryInterface(other, &slot);
    EXPECT_EQ(slot, nullptr) << other;
  }
  EXPECT_STREQ(service->getClassName(), "TimerService");

  // One count whatever the interface.
  static_cast<ITimerServiceV2*>(service)->addRef();
  EXPECT_EQ(static_cast<IShutdownListener*>(service)->getRefCount(), 2);
  static_cast<IShutdownListener*>(service)->releaseRef();

  VelArray<VelCString> classStack;
  VelArray<VelNameEntry> entries;
  VelNameQuery record{&classStack, &entries, {nullptr, 1, 0}, 0};
  service->queryInterface(nullptr, &record);
  ASSERT_EQ(entries.count, 4);
  const char* expected[] = {"TimerService", "ITimerService", "ITimerServiceV2", "IShutdownListener"};
  for (int i = 1; i <= 4; ++i) {
    EXPECT_TRUE(entries.at(i).name == expected[i - 1]) << i;
    EXPECT_EQ(entries.at(i).kind, i == 1 ? 1 : 0);
    EXPECT_TRUE(entries.at(i).owner == (i == 1 ? VelCString() : VelCString("TimerService"))) << i;
  }
  ASSERT_EQ(classStack.count, 1);
  EXPECT_TRUE(classStack.at(1) == "TimerService");
}

// The item factory registered at load, reached through the class factory of
// this program (which links the timer objects like the module does); the
// singleton's status and count through the module are the module's test.
TEST(TimerServiceFactory, RegisteredAtLoadAndCreatesAWorkingService) {
  VelDefaultClassFactory* factory = getDefaultClassFactory();
  EXPECT_STREQ(factory->getClassNameOf(kVelTimerServiceClassId), "TimerService");
  IVelUnknown* object = nullptr;
  factory->createInstance(kVelTimerServiceClassId, &object);
  ASSERT_NE(object, nullptr);
  void* v2 = nullptr;
  object->queryInterface("ITimerServiceV2", &v2);
  ASSERT_NE(v2, nullptr);
  auto* service = static_cast<ITimerServiceV2*>(v2);
  EXPECT_NE(service->createTimer("from-factory"), nullptr);
  EXPECT_TRUE(service->removeTimer("from-factory"));
}

}  // namespace
