// The framework's entries to the pool in use. The first allocation picks the
// host's pool if the host offers one, else builds the library's own; while
// on its own pool the library asks the host again every 601 allocations and
// moves its cached blocks over once the host has a pool. Reading the pool in
// use and calling it happen under the pool lock, so a move on another thread
// can never destroy a pool while it is being used.
#include "memory/pool.h"

#include <atomic>
#include <climits>

#include "cadencehost/bucket_memory_pool.h"
#include "cadencehost/vel_ptr.h"
#include "memory/pool_buckets.h"
#include "memory/pool_lock.h"
#include "memory/pool_state.h"
#include "memory/xal_alloc.h"

constinit cadence::port::ReentrantLock g_poolLock;

namespace {

constexpr int32_t kAskHostAfter = 600;
using cadence::pool::kOwnGranularity;
using cadence::pool::kOwnLinearLimit;
using cadence::pool::kOwnMaxPooledSize;

// This runtime copy's pool state, one object. Written under the pool lock
// only; the pool in use is atomic so poolInUse() may be read from anywhere.
struct PoolState {
  std::atomic<BucketMemoryPool*> current{nullptr};
  bool currentIsOwn = false;
  // The pool choosePool built (exactly a BucketMemoryPool of this library),
  // so the common path may skip the virtual call and the nested lock while
  // it is the pool in use.
  BucketMemoryPool* builtHere = nullptr;
  int32_t ownAllocations = 0;  // on the own pool since the host was last asked
};
constinit PoolState g_pool;

// The host's pool object behind its "IBucketMemoryPool" service, or null.
BucketMemoryPool* hostPool(SPtr<IBucketMemoryPool>& service) {
  if (!service) return nullptr;
  void* found = nullptr;
  service->queryInterface("BucketMemoryPool", &found);
  return static_cast<BucketMemoryPool*>(found);
}

// The first allocation: the host's pool, else the library's own.
BucketMemoryPool* choosePool() {
  SPtr<IBucketMemoryPool> service;
  BucketMemoryPool* pool = hostPool(service);
  if (pool) {
    cadence::pool::setCurrentPool(pool, false);
  } else {
    pool = new BucketMemoryPool(kOwnGranularity, kOwnLinearLimit, kOwnMaxPooledSize);
    g_pool.builtHere = pool;
    cadence::pool::setCurrentPool(pool, true);
    g_pool.ownAllocations = 0;
  }
  pool->addRef();
  return pool;
}

// Asks the host again; moves every cached block to its pool if it has one.
// A service that yields no pool leaves the library on its own pool.
BucketMemoryPool* askHostAgain(BucketMemoryPool* own) {
  g_pool.ownAllocations = 0;
  SPtr<IBucketMemoryPool> service;
  BucketMemoryPool* host = hostPool(service);
  if (!host) return own;
  g_pool.currentIsOwn = false;
  if (host == own) return own;
  cadence::pool::adoptBuckets(*own, *host);
  own->releaseRef();
  cadence::pool::setCurrentPool(host, false);
  host->addRef();
  return host;
}

}  // namespace

namespace cadence::pool {

BucketMemoryPool* currentPool() { return g_pool.current.load(std::memory_order_acquire); }

void setCurrentPool(BucketMemoryPool* pool, bool own) {
  g_pool.current.store(pool, std::memory_order_release);
  g_pool.currentIsOwn = own;
}

bool currentPoolIsOwn() {
  cadence::port::ReentrantLockGuard guard(poolLock());
  return g_pool.currentIsOwn;
}

int32_t ownPoolAllocations() {
  cadence::port::ReentrantLockGuard guard(poolLock());
  return g_pool.ownAllocations;
}

void poolDestroyed(BucketMemoryPool* pool) {
  cadence::port::ReentrantLockGuard guard(poolLock());
  if (g_pool.builtHere == pool) g_pool.builtHere = nullptr;
  if (g_pool.current.load(std::memory_order_relaxed) == pool) forgetCurrentPool();
}

void forgetCurrentPool() {
  cadence::port::ReentrantLockGuard guard(poolLock());
  g_pool.current.store(nullptr, std::memory_order_release);
  g_pool.currentIsOwn = false;
  g_pool.ownAllocations = 0;
}

ScopedPoolState::ScopedPoolState() {
  cadence::port::ReentrantLockGuard guard(poolLock());
  saved_ = {g_pool.current.load(std::memory_order_relaxed), g_pool.currentIsOwn, g_pool.builtHere,
            g_pool.ownAllocations};
  startAfresh();
}

ScopedPoolState::~ScopedPoolState() {
  cadence::port::ReentrantLockGuard guard(poolLock());
  g_pool.current.store(saved_.current, std::memory_order_release);
  g_pool.currentIsOwn = saved_.currentIsOwn;
  g_pool.builtHere = saved_.builtHere;
  g_pool.ownAllocations = saved_.ownAllocations;
}

void ScopedPoolState::startAfresh() { forgetCurrentPool(); }

}  // namespace cadence::pool

namespace {

// The first allocation, or the 602nd on the library's own pool since the
// host was last asked.
[[gnu::noinline]] BucketMemoryPool* settlePool(BucketMemoryPool* pool) {
  if (pool && g_pool.currentIsOwn && g_pool.ownAllocations > kAskHostAfter) pool = askHostAgain(pool);
  if (!pool) pool = choosePool();
  return pool;
}

}  // namespace

void* poolAllocate(int32_t size, int32_t* usable) {
  cadence::port::ReentrantLockGuard guard(poolLock());
  BucketMemoryPool* pool = g_pool.current.load(std::memory_order_relaxed);
  if (!pool || (g_pool.currentIsOwn && g_pool.ownAllocations > kAskHostAfter)) [[unlikely]] {
    pool = settlePool(pool);
  }
  void* block = pool == g_pool.builtHere ? cadence::pool::takeCached<true>(*pool, size, usable) : nullptr;
  if (!block) block = pool->allocate(size, usable);
  g_pool.ownAllocations += g_pool.currentIsOwn;
  return block;
}

void* poolAllocateBytes(uint64_t size, int32_t* usable) {
  if (size > static_cast<uint64_t>(INT32_MAX)) {
    velOutOfMemory(size > static_cast<uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<int64_t>(size));
  }
  return poolAllocate(static_cast<int32_t>(size), usable);
}

void poolFree(int32_t* usable, void** block) {
  if (*block && *usable > 0) {
    cadence::port::ReentrantLockGuard guard(poolLock());
    if (BucketMemoryPool* pool = g_pool.current.load(std::memory_order_relaxed)) {
      if (pool != g_pool.builtHere || !cadence::pool::fileCached<true>(*pool, *usable, block)) {
        pool->release(*usable, block);
      }
    } else {
      cadence::pool::freeThroughHeader(*block);
    }
  }
  *block = nullptr;
  *usable = 0;
}

BucketMemoryPool* poolInUse() { return cadence::pool::currentPool(); }
