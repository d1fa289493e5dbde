// poolAllocate and poolFree: choosing the pool at the first allocation, the
// poolFree rule, and the move to the host's pool every 601 allocations with
// every cached block taken over.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "cadencehost/bucket_memory_pool.h"
#include "memory/pool.h"
#include "memory/pool_state.h"
#include "tests/memory/memory_doubles.h"

namespace {

int64_t lookupsOf(const cadence::test::TestHost& host, const std::string& name) {
  return std::count(host.lookups.begin(), host.lookups.end(), name);
}

// A host service that is not a bucket pool underneath.
class HollowPoolService : public cadence::test::PinnedService<IBucketMemoryPool> {};

class PoolEntries : public ::testing::Test {
 protected:
  cadence::pool::ScopedPoolState pools;  // each test starts without a pool in use
  cadence::test::TestHost host;
  cadence::test::ScopedHost scopedHost{&host};
};

TEST_F(PoolEntries, FreeRuleSkipsEmptyAndFreesThroughHeaderWithoutPool) {
  int32_t usable = 0;
  void* block = poolAllocate(24, &usable);
  EXPECT_EQ(usable, 24);
  ASSERT_TRUE(cadence::pool::currentPoolIsOwn());

  int32_t zero = 0;
  void* kept = block;
  poolFree(&zero, &kept);  // usable 0: nothing to give back, only the owner's fields reset
  EXPECT_EQ(kept, nullptr);
  EXPECT_EQ(zero, 0);

  BucketMemoryPool* own = poolInUse();
  pools.startAfresh();
  cadence::test::FailingHeap heap;
  cadence::port::ScopedOverride<cadence::port::Heap> useHeap(heap);
  poolFree(&usable, &block);  // no pool in use: the header's allocator frees it
  EXPECT_EQ(heap.frees, 1);
  EXPECT_EQ(block, nullptr);
  EXPECT_EQ(usable, 0);
  delete own;
}

TEST_F(PoolEntries, FirstAllocationUsesTheHostsPoolWhenOffered) {
  pools.startAfresh();
  auto* hostPool = new BucketMemoryPool(4, 8192, 262144);  // stands for the host's pool
  pools.startAfresh();
  host.offer("IBucketMemoryPool", static_cast<IBucketMemoryPool*>(hostPool));
  const int32_t countBefore = hostPool->refCount;
  int32_t usable = 0;
  void* block = poolAllocate(10, &usable);
  EXPECT_EQ(poolInUse(), hostPool);
  EXPECT_FALSE(cadence::pool::currentPoolIsOwn());
  EXPECT_EQ(hostPool->refCount, countBefore + 1);  // the library keeps one reference
  poolFree(&usable, &block);
  EXPECT_EQ(hostPool->buckets[2]->count, 1);
  pools.startAfresh();
  delete hostPool;
}

TEST_F(PoolEntries, MovesToTheHostsPoolOn602ndAllocationWithEveryCachedBlock) {
  auto* hostPool = new BucketMemoryPool(4, 8192, 262144);
  pools.startAfresh();
  hostPool->addRef();

  // The library starts on its own pool and caches blocks of three classes.
  std::vector<void*> cached;
  std::vector<int32_t> sizes;
  for (int32_t size : {8, 8, 8, 100, 16384}) {
    int32_t usable = 0;
    cached.push_back(poolAllocate(size, &usable));
    sizes.push_back(usable);
  }
  ASSERT_TRUE(cadence::pool::currentPoolIsOwn());
  BucketMemoryPool* own = poolInUse();
  ASSERT_NE(own, hostPool);
  for (size_t i = 0; i < cached.size(); ++i) {
    void* b = cached[i];
    poolFree(&sizes[i], &b);
  }
  EXPECT_EQ(lookupsOf(host, "IBucketMemoryPool"), 1);  // asked at the first allocation only

  host.offer("IBucketMemoryPool", static_cast<IBucketMemoryPool*>(hostPool));
  std::vector<std::pair<void*, int32_t>> held;
  for (int i = 6; i <= 601; ++i) {  // 4-byte blocks, a class nothing was cached in
    int32_t usable = 0;
    held.emplace_back(poolAllocate(4, &usable), usable);
  }
  EXPECT_EQ(poolInUse(), own);
  EXPECT_EQ(lookupsOf(host, "IBucketMemoryPool"), 1);

  int32_t movedUsable = 0;
  void* moved = poolAllocate(8, &movedUsable);  // the 602nd: ask, move, then allocate
  EXPECT_EQ(lookupsOf(host, "IBucketMemoryPool"), 2);
  EXPECT_EQ(poolInUse(), hostPool);
  EXPECT_FALSE(cadence::pool::currentPoolIsOwn());
  EXPECT_EQ(moved, cached[2]);  // the last 8-byte block released, served by the host's pool
  ASSERT_NE(hostPool->buckets[1], nullptr);
  EXPECT_EQ(hostPool->buckets[1]->count, 2);
  EXPECT_EQ(hostPool->buckets[1]->entries[1].block, cached[0]);
  EXPECT_EQ(hostPool->buckets[24]->entries[1].block, cached[3]);
  EXPECT_EQ(hostPool->buckets[2048]->entries[1].block, cached[4]);

  // No more asking once on the host's pool.
  for (auto& [block, size] : held) poolFree(&size, &block);
  for (int i = 0; i < 700; ++i) {
    int32_t usable = 0;
    void* b = poolAllocate(4, &usable);
    poolFree(&usable, &b);
  }
  EXPECT_EQ(lookupsOf(host, "IBucketMemoryPool"), 2);
  poolFree(&movedUsable, &moved);
  pools.startAfresh();
  delete hostPool;
}

TEST_F(PoolEntries, AServiceWithoutAPoolKeepsTheLibraryOnItsOwn) {
  HollowPoolService hollow;
  host.offer("IBucketMemoryPool", static_cast<IBucketMemoryPool*>(&hollow));
  int32_t usable = 0;
  std::vector<void*> blocks;
  for (int i = 1; i <= 1203; ++i) blocks.push_back(poolAllocate(16, &usable));
  EXPECT_TRUE(cadence::pool::currentPoolIsOwn());
  EXPECT_EQ(lookupsOf(host, "IBucketMemoryPool"), 3);  // the first, the 602nd and the 1203rd
  for (void* b : blocks) {
    int32_t u = 16;
    poolFree(&u, &b);
  }
  delete poolInUse();
}

}  // namespace
