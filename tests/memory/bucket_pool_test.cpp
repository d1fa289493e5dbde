// The bucket memory pool on its own: size classes, LIFO reuse, table and
// bucket growth, unpooled blocks, switching pooling off and on, purge, the
// table exchange at construction, and the query by name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cadencehost/bucket_memory_pool.h"
#include "cadencehost/vel_query.h"
#include "memory/pool.h"
#include "memory/pool_state.h"
#include "tests/memory/memory_doubles.h"

namespace {

class BucketPool : public ::testing::Test {
 protected:
  void SetUp() override { pool = new BucketMemoryPool(4, 8192, 262144); }
  void TearDown() override { delete pool; }  // purges; the pool in use is forgotten with it

  cadence::pool::ScopedPoolState pools;  // each test starts without a pool in use
  void* take(int32_t size, int32_t expectedUsable) {
    int32_t usable = -1;
    void* block = pool->allocate(size, &usable);
    EXPECT_EQ(usable, expectedUsable) << "size " << size;
    return block;
  }
  bool giveBack(int32_t size, void* block) { return pool->release(size, &block); }
  int32_t cachedIn(int32_t index) const {
    return index < pool->bucketCount && pool->buckets[index] ? pool->buckets[index]->count : 0;
  }

  cadence::test::FailingHeap heap;
  cadence::port::ScopedOverride<cadence::port::Heap> useHeap{heap};
  BucketMemoryPool* pool = nullptr;
};

TEST_F(BucketPool, SizeClassesAndTableGrowth) {
  EXPECT_EQ(pool->bucketCount, 2050);
  void* small = take(5, 8);
  ASSERT_TRUE(giveBack(8, small));
  EXPECT_EQ(cachedIn(1), 1);
  EXPECT_EQ(take(7, 8), small);  // same class, same block
  EXPECT_EQ(cachedIn(1), 0);
  ASSERT_TRUE(giveBack(8, small));

  const struct {
    int32_t size, usable, index;
  } classes[] = {{0, 4, 0},
                 {1, 4, 0},
                 {4, 4, 0},
                 {8189, 8192, 2047},
                 {8192, 8192, 2047},
                 {8193, 16384, 2048},
                 {10000, 16384, 2048},
                 {32768, 32768, 2049}};
  for (const auto& c : classes) {
    void* block = take(c.size, c.usable);
    ASSERT_TRUE(giveBack(c.usable, block));
    EXPECT_GE(cachedIn(c.index), 1) << c.size;
  }
  EXPECT_EQ(pool->bucketCount, 2050);
  void* big = take(100000, 131072);  // class 2051: the table doubles
  EXPECT_EQ(pool->bucketCount, 4100);
  ASSERT_TRUE(giveBack(131072, big));
  EXPECT_EQ(cachedIn(2051), 1);
  EXPECT_EQ(cachedIn(16), 0);  // nothing spilled into other slots
}

TEST_F(BucketPool, CachedBlocksComeBackLastInFirstOut) {
  std::vector<void*> blocks;
  for (int i = 0; i < 20; ++i) blocks.push_back(take(64, 64));
  for (void* b : blocks) ASSERT_TRUE(giveBack(64, b));
  const Bucket* bucket = pool->buckets[15];
  ASSERT_NE(bucket, nullptr);
  EXPECT_EQ(bucket->count, 20);
  EXPECT_GT(bucket->capacity, 20);  // grew past its first 9 entries
  for (int i = 19; i >= 0; --i) EXPECT_EQ(take(61, 64), blocks[i]) << i;
  EXPECT_EQ(cachedIn(15), 0);
  for (void* b : blocks) ASSERT_TRUE(giveBack(64, b));
}

TEST_F(BucketPool, UnpooledBlocksAndRefusedReleases) {
  void* large = take(300000, 300000);
  const int64_t freesBefore = heap.frees;
  EXPECT_TRUE(giveBack(300000, large));
  EXPECT_EQ(heap.frees, freesBefore + 1);  // freed at once, never cached

  void* block = take(8, 8);
  void* kept = block;
  EXPECT_FALSE(pool->release(0, &block));
  void* none = nullptr;
  EXPECT_FALSE(pool->release(8, &none));
  // A negative size was never handed out: refused, nothing filed anywhere.
  EXPECT_FALSE(pool->release(-8, &block));
  EXPECT_EQ(block, kept);
  for (int32_t i = 0; i < pool->bucketCount; ++i) ASSERT_EQ(pool->buckets[i], nullptr) << i;
  EXPECT_TRUE(giveBack(8, block));
}

TEST_F(BucketPool, SwitchingPoolingOffKeepsOddBlocksOutOfTheClasses) {
  void* cached = take(8, 8);
  ASSERT_TRUE(giveBack(8, cached));
  EXPECT_TRUE(pool->setEnabled(false));
  EXPECT_LT(pool->maxPooledSize, 0);
  void* exact = take(5, 5);  // unpooled, exactly the request
  EXPECT_NE(exact, cached);
  EXPECT_TRUE(pool->setEnabled(false));  // no change when already off
  EXPECT_LT(pool->maxPooledSize, 0);
  EXPECT_TRUE(pool->setEnabled(true));
  EXPECT_EQ(pool->maxPooledSize, 262144);

  // Filed under class 8 it would hand 5 bytes to a request of 8.
  const int64_t freesBefore = heap.frees;
  EXPECT_TRUE(giveBack(5, exact));
  EXPECT_EQ(heap.frees, freesBefore + 1);
  EXPECT_EQ(cachedIn(1), 1);
  EXPECT_EQ(take(8, 8), cached);  // the cached block is reused again
  EXPECT_TRUE(giveBack(8, cached));
}

TEST_F(BucketPool, PurgeFreesEveryCachedBlockAndBucket) {
  std::vector<std::pair<int32_t, void*>> blocks;
  for (int32_t size : {4, 4, 100, 16384}) blocks.emplace_back(size, take(size, size));
  for (auto& [size, block] : blocks) ASSERT_TRUE(giveBack(size, block));
  const int64_t freesBefore = heap.frees;
  EXPECT_TRUE(pool->purge());
  EXPECT_EQ(heap.frees, freesBefore + 4 + 3 * 2);  // four blocks, three buckets and their entry arrays
  for (int32_t i = 0; i < pool->bucketCount; ++i) ASSERT_EQ(pool->buckets[i], nullptr) << i;
}

class WatchedPool : public BucketMemoryPool {
 public:
  explicit WatchedPool(bool* destroyed) : BucketMemoryPool(4, 8192, 262144), destroyed_(destroyed) {}
  ~WatchedPool() override { *destroyed_ = true; }

 private:
  bool* destroyed_;
};

TEST_F(BucketPool, ANewPoolTakesOverTheCachedBlocksOfThePoolInUse) {
  bool firstDestroyed = false;
  auto* first = new WatchedPool(&firstDestroyed);
  EXPECT_EQ(poolInUse(), first);
  first->addRef();
  int32_t usable = 0;
  void* block = first->allocate(40, &usable);
  ASSERT_TRUE(first->release(usable, &block));

  auto* second = new BucketMemoryPool(4, 8192, 262144);
  EXPECT_EQ(poolInUse(), second);
  EXPECT_TRUE(firstDestroyed);  // given up with its last reference
  ASSERT_NE(second->buckets[9], nullptr);
  EXPECT_EQ(second->buckets[9]->count, 1);
  EXPECT_EQ(second->refCount, 0);

  // Different parameters (pooling off): no exchange, the old pool is still given up.
  second->addRef();
  second->setEnabled(false);
  auto* third = new BucketMemoryPool(4, 8192, 262144);
  EXPECT_EQ(third->buckets[9], nullptr);
  EXPECT_EQ(poolInUse(), third);
  delete third;
  EXPECT_EQ(poolInUse(), nullptr);  // never left dangling
}

TEST_F(BucketPool, AnswersToItsNamesAndListsThem) {
  void* found = nullptr;
  pool->queryInterface("BucketMemoryPool", &found);
  EXPECT_EQ(found, pool);
  pool->queryInterface("IBucketMemoryPool", &found);
  EXPECT_EQ(found, static_cast<IBucketMemoryPool*>(pool));
  pool->queryInterface("IVelUnknown", &found);
  EXPECT_EQ(found, static_cast<IVelUnknown*>(pool));
  pool->queryInterface("ITimer", &found);
  EXPECT_EQ(found, nullptr);
  EXPECT_STREQ(pool->getClassName(), "BucketMemoryPool");

  VelArray<VelCString> stack;
  VelArray<VelNameEntry> entries;
  VelNameQuery record{};
  record.classStack = &stack;
  record.entries = &entries;
  pool->queryInterface(nullptr, &record);
  ASSERT_EQ(entries.count, 2);
  EXPECT_STREQ(entries.at(1).name.c_str(), "BucketMemoryPool");
  EXPECT_EQ(entries.at(1).kind, kVelNameKindClass);
  EXPECT_STREQ(entries.at(2).name.c_str(), "IBucketMemoryPool");
  EXPECT_EQ(entries.at(2).kind, kVelNameKindInterface);
}

TEST(BucketPoolDeathTest, NegativeRequestNeverBecomesASmallBlock) {
  cadence::test::ScratchDirectory scratch;
  EXPECT_EXIT(
      {
        cadence::test::MemoryHostScope scope(scratch.path);
        BucketMemoryPool pool(4, 8192, 262144);
        pool.setEnabled(false);  // the unpooled way must not add the header to it either
        int32_t usable = 0;
        pool.allocate(-5, &usable);
      },
      ::testing::ExitedWithCode(cadence::port::kStatusOfExitMinusOne), "");
}

}  // namespace
