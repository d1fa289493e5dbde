// Reference counting of the root object, locally and through a host's hooks.
#include <gtest/gtest.h>

#include "tests/core/probe_objects.h"
#include "tests/support/test_host.h"

namespace {

using cadence::test::IProbeA;
using cadence::test::IProbeB;
using cadence::test::Probe;

TEST(LocalCounting, LastReleaseWritesMinus42BeforeDestruction) {
  int32_t seen = 0;
  bool destroyed = false;
  Probe* p = new Probe(&seen, &destroyed);
  EXPECT_EQ(p->getRefCount(), 0);
  p->addRef();
  EXPECT_EQ(p->getRefCount(), 1);
  static_cast<IProbeA*>(p)->releaseRef();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(seen, kVelDestroyingRefCount);
}

TEST(LocalCounting, InterfacesShareOneCount) {
  bool destroyed = false;
  Probe* p = new Probe(nullptr, &destroyed);
  IProbeA* a = p;
  IProbeB* b = p;
  a->addRef();
  b->addRef();
  EXPECT_EQ(a->getRefCount(), 2);
  EXPECT_EQ(b->getRefCount(), 2);
  b->releaseRef();  // two references, one release: still alive with 1
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(a->getRefCount(), 1);
  a->releaseRef();
  EXPECT_TRUE(destroyed);
}

TEST(LocalCounting, ReleaseAtZeroGoesNegativeAndDoesNotDestroy) {
  bool destroyed = false;
  Probe* p = new Probe(nullptr, &destroyed);
  p->releaseRef();
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(p->getRefCount(), -1);
  delete static_cast<IVelUnknown*>(p);
}

TEST(HostCounting, HooksGetTheVeryCounterAndFalseNeverDestroys) {
  cadence::test::TestHost host;
  host.countInHooks = false;
  host.releaseAnswer = false;
  bool destroyed = false;
  Probe* p = new Probe(nullptr, &destroyed);
  {
    cadence::test::ScopedHost scoped(&host);
    static_cast<IProbeB&>(*p).addRef();  // by reference: no null check for the compiler to doubt
    ASSERT_EQ(host.addRefCounters.size(), 1u);
    EXPECT_EQ(host.addRefCounters[0], &p->refCount);
    for (int i = 0; i < 3; ++i) p->releaseRef();
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(p->getRefCount(), 0);  // the module never touched it
    ASSERT_EQ(host.releaseRefCounters.size(), 3u);
    EXPECT_EQ(host.releaseRefCounters[2], &p->refCount);
    host.releaseAnswer = true;
    p->releaseRef();
    EXPECT_TRUE(destroyed);
  }
}

TEST(HostCounting, HostDecidesAndTheModuleNeverWritesMinus42) {
  cadence::test::TestHost host;  // counts in its hooks: last release leaves 0
  int32_t seen = 99;
  bool destroyed = false;
  Probe* p = new Probe(&seen, &destroyed);
  cadence::test::ScopedHost scoped(&host);
  p->addRef();
  p->addRef();
  EXPECT_EQ(p->getRefCount(), 2);
  p->releaseRef();
  EXPECT_FALSE(destroyed);
  p->releaseRef();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(seen, 0);
}

TEST(HostCounting, ModeIsDecidedAtEveryCall) {
  cadence::test::TestHost host;
  bool destroyed = false;
  Probe* p = new Probe(nullptr, &destroyed);
  p->addRef();  // local: no host yet
  EXPECT_EQ(p->getRefCount(), 1);
  {
    cadence::test::ScopedHost scoped(&host);
    p->addRef();  // through the host, same field
    EXPECT_EQ(p->getRefCount(), 2);
    EXPECT_EQ(host.addRefCounters.size(), 1u);
    p->releaseRef();
    EXPECT_EQ(host.releaseRefCounters.size(), 1u);
  }
  p->releaseRef();  // local again: 1 -> 0 destroys
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(host.releaseRefCounters.size(), 1u);
}

}  // namespace
