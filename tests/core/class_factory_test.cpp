// The prime table, the class table (replacement, growth, cursor), the default
// class factory's answers to bad input, and the singleton item factory.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/class_factory.h"
#include "core/primes.h"

namespace {

class Widget : public virtual IVelUnknown {
 public:
  void queryInterface(const char*, void* target) override {
    if (target) *static_cast<void**>(target) = nullptr;
  }
  const char* getClassName() override { return "Widget"; }
};

// Makes a new Widget per request, with a status of its own choosing.
class StubFactory : public VelItemFactory {
 public:
  StubFactory(const char* name, const VelID& id, VelDefaultClassFactory& into, uint32_t status = 7)
      : VelItemFactory(name, nullptr, id, into), status_(status) {}
  IVelUnknown* createItem(uint32_t* status) override {
    ++calls;
    *status = status_;
    made.push_back(std::make_unique<Widget>());
    return made.back().get();
  }
  int calls = 0;
  std::vector<std::unique_ptr<Widget>> made;

 private:
  uint32_t status_;
};

VelID idWith(uint32_t data1) { return VelID(data1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10); }

struct PrivateFactory {
  VelClassTable table;
  VelDefaultClassFactory factory{table};
};

TEST(NextPrime, BoundsAndTable) {
  EXPECT_EQ(nextPrime(0), 2u);
  EXPECT_EQ(nextPrime(2), 3u);
  EXPECT_EQ(nextPrime(99), 131u);
  EXPECT_EQ(nextPrime(131), 257u);
  EXPECT_EQ(nextPrime(1073741826u), 1073741827u);
  EXPECT_EQ(nextPrime(1073741827u), 2147483659u);
  EXPECT_EQ(nextPrime(2147483659u), 2147483659u);
  EXPECT_EQ(nextPrime(0xFFFFFFFFu), 2147483659u);
  // Entry k is the smallest prime above 2^k.
  for (int k = 0; k < kVelPrimeCount; ++k) {
    const uint64_t p = kVelPrimes[k];
    EXPECT_GT(p, uint64_t{1} << k);
    for (uint64_t d = 2; d * d <= p; ++d) ASSERT_NE(p % d, 0u) << p;
  }
}

TEST(ClassTable, ReRegistrationReplacesWithoutNewEntry) {
  PrivateFactory f;
  StubFactory first("First", idWith(9), f.factory);
  StubFactory second("Second", idWith(9), f.factory);
  EXPECT_EQ(f.factory.getClassCount(), 1u);
  EXPECT_STREQ(f.factory.getClassNameOf(idWith(9)), "Second");
  IVelUnknown* object = nullptr;
  EXPECT_EQ(f.factory.createInstance(idWith(9), &object), 7u);
  EXPECT_EQ(second.calls, 1);
  EXPECT_EQ(first.calls, 0);
  f.factory.registerItemFactory(nullptr);  // ignored
  EXPECT_EQ(f.factory.getClassCount(), 1u);
}

TEST(ClassTable, GrowsAtTheHundredAndFifthClass) {
  PrivateFactory f;
  EXPECT_EQ(f.table.bucketCount(), 131u);
  std::vector<std::unique_ptr<StubFactory>> factories;
  for (uint32_t i = 0; i < 104; ++i) {
    factories.push_back(std::make_unique<StubFactory>("C", idWith(i * 7919u), f.factory));
  }
  EXPECT_EQ(f.table.entryCount(), 104u);
  EXPECT_EQ(f.table.bucketCount(), 131u);
  factories.push_back(std::make_unique<StubFactory>("C", idWith(104 * 7919u), f.factory));
  EXPECT_EQ(f.table.entryCount(), 105u);
  EXPECT_EQ(f.table.bucketCount(), 257u);
  // Every class is still found after the rehash.
  for (uint32_t i = 0; i <= 104; ++i) EXPECT_EQ(f.table.find(idWith(i * 7919u)), factories[i].get());
}

TEST(ClassTable, CursorWalksBucketsInOrderAndChainsFromTheHead) {
  PrivateFactory f;
  StubFactory a("A", idWith(5), f.factory);
  StubFactory b("B", idWith(3), f.factory);
  StubFactory c("C", idWith(5 + 131), f.factory);  // same bucket as A, linked at the head
  StubFactory d("D", idWith(130), f.factory);
  std::vector<uint32_t> seen;
  VelID id;
  for (bool more = f.factory.getFirstClassId(id); more; more = f.factory.getNextClassId(id)) {
    seen.push_back(id.Data1);
  }
  EXPECT_EQ(seen, (std::vector<uint32_t>{3, 136, 5, 130}));
  EXPECT_FALSE(f.factory.getNextClassId(id));  // stays at the end
  EXPECT_TRUE(f.factory.getFirstClassId(id));  // starts over
  EXPECT_EQ(id.Data1, 3u);
}

TEST(ClassTable, OutOfOrderAndUnknownAnswers) {
  PrivateFactory f;
  VelID out = idWith(77);
  EXPECT_FALSE(f.factory.getNextClassId(out));   // no cursor yet
  EXPECT_FALSE(f.factory.getFirstClassId(out));  // empty table
  EXPECT_FALSE(f.factory.getNextClassId(out));
  EXPECT_EQ(out, idWith(77));  // nothing written

  StubFactory a("A", idWith(1), f.factory);
  EXPECT_EQ(f.factory.getClassNameOf(idWith(2)), nullptr);
  IVelUnknown* sentinel = reinterpret_cast<IVelUnknown*>(0x1234);
  IVelUnknown* object = sentinel;
  EXPECT_EQ(f.factory.createInstance(idWith(2), &object), 0u);
  EXPECT_EQ(object, sentinel);
  // A null output pointer: 0, and nothing is created.
  EXPECT_EQ(f.factory.createInstance(idWith(1), nullptr), 0u);
  EXPECT_EQ(a.calls, 0);
}

TEST(SingletonItemFactory, OneObjectOneReferenceStatusTwo) {
  PrivateFactory f;
  VelSingletonTClassItemFactory<Widget> singleton("Widget", nullptr, idWith(42), f.factory);
  EXPECT_EQ(singleton.getItemInfo(), nullptr);
  IVelUnknown* first = nullptr;
  IVelUnknown* second = nullptr;
  EXPECT_EQ(f.factory.createInstance(idWith(42), &first), 2u);
  EXPECT_EQ(f.factory.createInstance(idWith(42), &second), 2u);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  EXPECT_EQ(first->getRefCount(), 1);
  first->releaseRef();  // the factory never gives its reference back: drop it here
}

TEST(DefaultClassFactory, ProcessWideAndFilledByPlainRegistration) {
  VelDefaultClassFactory* factory = getDefaultClassFactory();
  EXPECT_EQ(factory, getDefaultClassFactory());
  static StubFactory registered("Registered", idWith(0xABCDEF), *getDefaultClassFactory());
  static VelSingletonTClassItemFactory<Widget> plain("Plain", nullptr, idWith(0xABCDF0));
  EXPECT_STREQ(factory->getClassNameOf(idWith(0xABCDEF)), "Registered");
  EXPECT_STREQ(factory->getClassNameOf(idWith(0xABCDF0)), "Plain");
}

}  // namespace
