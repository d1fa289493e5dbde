// Lookups by a borrowed name allocate nothing: wrapping a literal, comparing
// and hashing it, and querying an object by name never reach the pool.
#include <gtest/gtest.h>

#include "cadencehost/bucket_memory_pool.h"
#include "cadencehost/vel_cstring.h"
#include "memory/pool.h"
#include "platform/override.h"
#include "tests/support/fake_platform.h"

namespace {

// Switches the pool in use to unpooled blocks for a scope, so that every
// pool allocation reaches the platform heap and can be counted there.
class UnpooledScope {
 public:
  UnpooledScope() {
    int32_t usable = 0;
    void* warm = poolAllocate(16, &usable);  // makes sure a pool is in use
    poolFree(&usable, &warm);
    pool_ = poolInUse();
    wasOn_ = pool_ && pool_->maxPooledSize > 0;
    if (wasOn_) pool_->setEnabled(false);
  }
  ~UnpooledScope() {
    if (wasOn_) pool_->setEnabled(true);
  }

 private:
  BucketMemoryPool* pool_ = nullptr;
  bool wasOn_ = false;
};

TEST(BorrowedLookup, NameWrappingComparingAndHashingAllocateNothing) {
  UnpooledScope unpooled;
  cadence::test::FailingHeap counting;
  cadence::port::ScopedOverride<cadence::port::Heap> use(counting);

  // The instrument must see a pool allocation, or the test proves nothing.
  { VelCString probe = VelCString::copyOf("probe"); }
  if (counting.calls == 0) GTEST_SKIP() << "pool allocations do not reach the platform heap here";
  const int64_t before = counting.calls;

  uint32_t hashes = 0;
  int equal = 0;
  for (int i = 0; i < 100; ++i) {
    VelCString name("IVelErrorService");
    VelCString copy(name);  // copy of a borrowed name: borrowed too
    VelCString assigned;
    assigned = copy;
    equal += name == "IVelErrorService";
    equal += copy == name;
    equal += assigned != "IVelTranslatorService";
    hashes += name.nameHash() + copy.nameHash();
  }
  EXPECT_EQ(counting.calls, before);
  EXPECT_EQ(equal, 300);
  EXPECT_NE(hashes, 0u);
}

}  // namespace
