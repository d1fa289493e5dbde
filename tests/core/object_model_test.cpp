// Reference counting of the root object, locally and through a host's hooks.
#include <gtest/gtest.h>

#include "core/vel_query.h"
#include "tests/support/test_host.h"

namespace {

class IProbeA : public virtual IVelUnknown {
 public:
  virtual int a() = 0;
};
class IProbeB : public virtual IVelUnknown {
 public:
  virtual int b() = 0;
};

// Records the count its destructor sees.
class Probe : public IProbeA, public IProbeB {
 public:
  explicit Probe(int32_t* seenInDestructor, bool* destroyed)
      : seen_(seenInDestructor), destroyed_(destroyed) {}
  ~Probe() override {
    if (seen_) *seen_ = getRefCount();
    if (destroyed_) *destroyed_ = true;
  }
  int a() override { return 1; }
  int b() override { return 2; }
  void queryInterface(const char* name, void* target) override {
    if (!name) {
      velEnumerateNames(target, "Probe", {"IProbeA", "IProbeB"});
      return;
    }
    void** slot = velQuerySlot(target);
    if (!slot) return;
    if (velNameIs(name, "Probe")) *slot = this;
    else if (velNameIs(name, "IVelUnknown")) *slot = static_cast<IVelUnknown*>(this);
    else if (velNameIs(name, "IProbeA")) *slot = static_cast<IProbeA*>(this);
    else if (velNameIs(name, "IProbeB")) *slot = static_cast<IProbeB*>(this);
  }
  const char* getClassName() override { return "Probe"; }

 private:
  int32_t* seen_;
  bool* destroyed_;
};

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
  b->releaseRef();
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(a->getRefCount(), 1);
  a->releaseRef();
  EXPECT_TRUE(destroyed);
}

TEST(HostCounting, HooksGetTheVeryCounterAndFalseNeverDestroys) {
  veltest::TestHost host;
  host.countInHooks = false;
  host.releaseAnswer = false;
  bool destroyed = false;
  Probe* p = new Probe(nullptr, &destroyed);
  {
    veltest::ScopedHost scoped(&host);
    static_cast<IProbeB*>(p)->addRef();
    ASSERT_EQ(host.addRefCounters.size(), 1u);
    EXPECT_EQ(host.addRefCounters[0], &p->refCount);
    for (int i = 0; i < 3; ++i) p->releaseRef();
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(p->getRefCount(), 0);  // the module never touched it
    host.releaseAnswer = true;
    p->releaseRef();
    EXPECT_TRUE(destroyed);
  }
}

}  // namespace
