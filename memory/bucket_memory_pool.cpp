// The bucket memory pool: released blocks cached per size class and handed
// out again last-in, first-out; the allocator named in every block's header;
// and the move of cached blocks from one pool to another.
#include "cadencehost/bucket_memory_pool.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "base/process_wide.h"
#include "cadencehost/vel_query.h"
#include "memory/guarded_new.h"
#include "memory/pool_buckets.h"
#include "memory/pool_lock.h"
#include "memory/pool_state.h"
#include "memory/xal_alloc.h"
#include "platform/heap.h"

namespace {

constexpr int32_t kInitialSlots = 2050;
constexpr int32_t kNewBucketCapacity = 9;
constexpr int32_t kLargestPooledSize = 1 << 30;  // class sizes stay below 2^31

// The one allocator of this library: constant-initialised, so blocks can be
// made before any constructor runs, and never destroyed, so blocks can be
// freed after every destructor has run.
constinit cadence::NoDestructor<BucketMemoryAllocator> g_allocator;

void* withHeader(void* raw) {
  BucketMemoryAllocator* owner = g_allocator.get();
  std::memcpy(raw, &owner, sizeof owner);
  return static_cast<char*>(raw) + kPoolHeaderBytes;
}

using cadence::pool::classOf;
using cadence::pool::SizeClass;

// Makes slot `index` exist: the table doubles (at least to index + 1), new
// slots zero-filled.
void growTable(BucketMemoryPool& pool, int32_t index) {
  const int32_t needed = index + 1;
  const int32_t doubled =
      static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(pool.bucketCount) * 2, INT32_MAX));
  void* table = pool.buckets;
  pool.bucketCount =
      xalRealloc(&table, static_cast<int32_t>(sizeof(Bucket*)), pool.bucketCount, needed, std::max(doubled, needed));
  pool.buckets = static_cast<Bucket**>(table);
}

// Buckets, like the pool objects, come the guarded way: a pool allocates
// inside calls from the host. (A bucket moved into a host's pool is freed by
// the host's runtime copy, on the same heap.)
Bucket* newBucket() {
  auto* bucket = static_cast<Bucket*>(cadence::guard::allocateOrFail(sizeof(Bucket)));
  void* entries = nullptr;
  bucket->capacity = xalMalloc(&entries, static_cast<int32_t>(sizeof(BucketEntry)), kNewBucketCapacity);
  std::memset(entries, 0, sizeof(BucketEntry) * kNewBucketCapacity);
  bucket->entries = static_cast<BucketEntry*>(entries);
  bucket->count = 0;
  return bucket;
}

void deleteBucket(Bucket* bucket) {
  cadence::port::sysFree(bucket->entries);
  cadence::guard::releaseBlock(bucket);
}

// Entries 1..count are in use; the entries grow when count would reach capacity.
[[gnu::noinline]] void growEntries(Bucket& bucket, int32_t needed) {
  void* entries = bucket.entries;
  const int32_t doubled = static_cast<int32_t>(std::min<int64_t>(int64_t{bucket.capacity} * 2, INT32_MAX));
  bucket.capacity = xalRealloc(&entries, static_cast<int32_t>(sizeof(BucketEntry)), bucket.capacity, needed,
                               std::max(doubled, needed));
  bucket.entries = static_cast<BucketEntry*>(entries);
}

inline void appendEntry(Bucket& bucket, int32_t size, void* block) {
  const int32_t count = bucket.count + 1;
  if (count >= bucket.capacity) [[unlikely]]
    growEntries(bucket, count + 1);
  bucket.entries[count] = {size, block};
  bucket.count = count;
}

bool validParameters(int32_t granularity, int32_t linearLimit, int32_t maxPooledSize) {
  return granularity > 0 && linearLimit >= granularity && maxPooledSize <= kLargestPooledSize &&
         maxPooledSize >= -kLargestPooledSize;
}

}  // namespace

namespace cadence::pool {

void freeThroughHeader(void* block) {
  char* raw = static_cast<char*>(block) - kPoolHeaderBytes;
  BucketMemoryAllocator* owner;
  std::memcpy(&owner, raw, sizeof owner);
  owner->freeBlock(raw);
}

void adoptBuckets(BucketMemoryPool& from, BucketMemoryPool& to) {
  const int32_t slots = from.bucketCount;
  for (int32_t i = 0; i < slots; ++i) {
    Bucket* bucket = from.buckets[i];
    if (!bucket) continue;
    if (i >= to.bucketCount) growTable(to, i);
    if (!to.buckets[i]) {
      to.buckets[i] = bucket;
    } else {
      for (int32_t k = 1; k <= bucket->count; ++k) {
        appendEntry(*to.buckets[i], bucket->entries[k].size, bucket->entries[k].block);
      }
      deleteBucket(bucket);
    }
    from.buckets[i] = nullptr;
  }
}

}  // namespace cadence::pool

void* BucketMemoryPool::operator new(std::size_t bytes) { return cadence::guard::allocateOrFail(bytes); }

void BucketMemoryPool::operator delete(void* pool) noexcept { cadence::guard::releaseBlock(pool); }

BucketMemoryAllocator::~BucketMemoryAllocator() = default;

void BucketMemoryAllocator::freeBlock(void* rawBlock) {
  cadence::port::ReentrantLockGuard guard(poolLock());
  cadence::port::sysFree(rawBlock);
}

BucketMemoryPool::BucketMemoryPool(int32_t granularityIn, int32_t linearLimitIn, int32_t maxPooledSizeIn)
    : bucketCount(0),
      buckets(nullptr),
      granularity(granularityIn),
      linearLimit(linearLimitIn),
      maxPooledSize(maxPooledSizeIn) {
  if (!validParameters(granularity, linearLimit, maxPooledSize)) {
    granularity = kDefaultGranularity;
    linearLimit = kDefaultLinearLimit;
    maxPooledSize = kDefaultMaxPooledSize;
  }
  void* table = nullptr;
  bucketCount = xalMalloc(&table, static_cast<int32_t>(sizeof(Bucket*)), kInitialSlots);
  std::memset(table, 0, sizeof(Bucket*) * kInitialSlots);
  buckets = static_cast<Bucket**>(table);

  cadence::port::ReentrantLockGuard guard(poolLock());
  const bool own = cadence::pool::currentPoolIsOwn();
  BucketMemoryPool* previous = cadence::pool::currentPool();
  if (previous && previous != this) {
    if (previous->granularity == granularity && previous->linearLimit == linearLimit &&
        previous->maxPooledSize == maxPooledSize) {
      std::swap(bucketCount, previous->bucketCount);
      std::swap(buckets, previous->buckets);
    }
    previous->releaseRef();
  }
  cadence::pool::setCurrentPool(this, own);
}

BucketMemoryPool::~BucketMemoryPool() {
  cadence::port::ReentrantLockGuard guard(poolLock());
  purge();
  cadence::port::sysFree(buckets);
  buckets = nullptr;
  bucketCount = 0;
  cadence::pool::poolDestroyed(this);  // never leave the pool in use dangling
}

bool BucketMemoryPool::purge() {
  cadence::port::ReentrantLockGuard guard(poolLock());
  for (int32_t i = 0; i < bucketCount; ++i) {
    Bucket* bucket = buckets[i];
    if (!bucket) continue;
    for (int32_t k = 1; k <= bucket->count; ++k) {
      BucketEntry& entry = bucket->entries[k];
      if (entry.block) cadence::pool::freeThroughHeader(entry.block);
      entry = {0, nullptr};
    }
    deleteBucket(bucket);
    buckets[i] = nullptr;
  }
  return true;
}

namespace {

// Pooling switched off for the life of a scope, while the pool's table or a
// bucket's entries are resized. The resize may park them in a spill file and
// free them meanwhile, and the spill (or an out-of-memory report) makes and
// releases strings on this same thread under the re-entrant pool lock: those
// then take the unpooled way and never read the table or entries in motion.
class PoolingPausedForResize {
 public:
  explicit PoolingPausedForResize(BucketMemoryPool& pool) : pool_(pool), saved_(pool.maxPooledSize) {
    if (saved_ > 0) pool_.maxPooledSize = -saved_;
  }
  ~PoolingPausedForResize() { pool_.maxPooledSize = saved_; }
  PoolingPausedForResize(const PoolingPausedForResize&) = delete;
  PoolingPausedForResize& operator=(const PoolingPausedForResize&) = delete;

 private:
  BucketMemoryPool& pool_;
  int32_t saved_;
};

// Everything allocate does besides handing out a cached block: impossible
// sizes, unpooled blocks, table growth, and new blocks from the heap. Kept out
// of line so the common path stays short.
[[gnu::noinline]] void* allocateSlow(BucketMemoryPool& pool, int32_t size, int32_t* usable) {
  if (size < 0) velOutOfMemory(size);  // never a small block for a wrapped size
  if (size > pool.maxPooledSize) {
    // At least one usable byte: a block reported with usable size 0 would
    // read as borrowed to its owner and never be given back.
    const int64_t total = static_cast<int64_t>(size > 0 ? size : 1) + kPoolHeaderBytes;
    if (total > INT32_MAX) velOutOfMemory(total);
    void* raw = nullptr;
    *usable = xalMalloc(&raw, 1, static_cast<int32_t>(total)) - kPoolHeaderBytes;
    return withHeader(raw);
  }
  const SizeClass sizeClass = classOf(pool, size);
  if (sizeClass.index >= pool.bucketCount) {
    PoolingPausedForResize paused(pool);
    growTable(pool, sizeClass.index);
  }
  if (Bucket* bucket = pool.buckets[sizeClass.index]) {
    while (bucket->count > 0) {
      const BucketEntry& entry = bucket->entries[bucket->count--];
      *usable = entry.size;
      if (entry.block) return entry.block;
    }
  }
  void* raw = nullptr;
  xalMalloc(&raw, 1, sizeClass.size + kPoolHeaderBytes);
  *usable = sizeClass.size;
  return withHeader(raw);
}

// Everything release does besides filing into a bucket with room: unpooled
// and odd-sized blocks, table growth, new buckets, growing entries.
[[gnu::noinline]] bool releaseSlow(BucketMemoryPool& pool, int32_t size, void** block) {
  if (size > pool.maxPooledSize) {
    cadence::pool::freeThroughHeader(*block);
    *block = nullptr;
    return true;
  }
  const SizeClass sizeClass = classOf(pool, size);
  if (sizeClass.size != size) {
    // Made while pooling was off (or for another pool's classes): filing it
    // would promise more bytes than it has.
    cadence::pool::freeThroughHeader(*block);
    *block = nullptr;
    return true;
  }
  PoolingPausedForResize paused(pool);  // the table, a new bucket or its entries may move below
  if (sizeClass.index >= pool.bucketCount) growTable(pool, sizeClass.index);
  Bucket*& bucket = pool.buckets[sizeClass.index];
  if (!bucket) bucket = newBucket();
  appendEntry(*bucket, sizeClass.size, *block);
  *block = nullptr;
  return true;
}

}  // namespace

void* BucketMemoryPool::allocate(int32_t size, int32_t* usable) {
  cadence::port::ReentrantLockGuard guard(poolLock());
  if (void* block = cadence::pool::takeCached(*this, size, usable)) [[likely]]
    return block;
  return allocateSlow(*this, size, usable);
}

bool BucketMemoryPool::release(int32_t size, void** block) {
  // A negative size was never handed out: refused like size 0.
  if (!block || !*block || size <= 0) return false;
  cadence::port::ReentrantLockGuard guard(poolLock());
  if (cadence::pool::fileCached(*this, size, block)) [[likely]]
    return true;
  return releaseSlow(*this, size, block);
}

bool BucketMemoryPool::setEnabled(bool enable) {
  cadence::port::ReentrantLockGuard guard(poolLock());
  if (enable != (maxPooledSize > 0)) maxPooledSize = -maxPooledSize;
  return true;
}

void BucketMemoryPool::queryInterface(const char* name, void* target) {
  velAnswerQuery<IBucketMemoryPool>(this, kClassName, name, target);
}

const char* BucketMemoryPool::getClassName() { return kClassName; }
