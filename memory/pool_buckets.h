// The common path of the bucket pool, inline: the size class of a request,
// taking the top cached block of a class, and filing a released block into a
// bucket with room. Each answers null/false when the full path is needed
// (unpooled sizes, table or bucket growth, a new block from the heap). The
// caller holds the pool lock.
#pragma once

#include <bit>
#include <cstdint>

#include "cadencehost/bucket_memory_pool.h"

namespace cadence::pool {

struct SizeClass {
  int32_t index;
  int32_t size;
};

// The parameters of the pool the library builds for itself (the defaults).
// Its granularity and linear limit never change after construction, so the
// common path of that pool can use them as constants.
constexpr int32_t kOwnGranularity = BucketMemoryPool::kDefaultGranularity;
constexpr int32_t kOwnLinearLimit = BucketMemoryPool::kDefaultLinearLimit;
constexpr int32_t kOwnMaxPooledSize = BucketMemoryPool::kDefaultMaxPooledSize;

// The class of a request of 0..maxPooledSize bytes, by arithmetic alone.
// `Own`: the pool is the library's own (its granularity and linear limit).
template <bool Own = false>
inline SizeClass classOf(const BucketMemoryPool& pool, int32_t size) {
  if constexpr (Own) {
    if (size <= kOwnLinearLimit) {
      const int32_t index = (size > 0 ? size - 1 : 0) >> 2;
      return {index, (index + 1) * kOwnGranularity};
    }
  }
  const int32_t granularity = pool.granularity;
  if (size <= pool.linearLimit) {
    const int32_t last = size > 0 ? size - 1 : 0;
    const int32_t index = (granularity & (granularity - 1)) == 0
                              ? last >> std::countr_zero(static_cast<unsigned>(granularity))
                              : last / granularity;
    return {index, (index + 1) * granularity};
  }
  int64_t classSize = pool.linearLimit;
  int32_t index = (pool.linearLimit - 1) / granularity;
  while (classSize < size) {
    classSize *= 2;
    ++index;
  }
  return {index, static_cast<int32_t>(classSize)};
}

template <bool Own = false>
inline void* takeCached(BucketMemoryPool& pool, int32_t size, int32_t* usable) {
  if (size < 0 || size > pool.maxPooledSize) return nullptr;
  const SizeClass sizeClass = classOf<Own>(pool, size);
  if (sizeClass.index >= pool.bucketCount) return nullptr;
  Bucket* bucket = pool.buckets[sizeClass.index];
  if (!bucket || bucket->count <= 0) return nullptr;
  const BucketEntry& entry = bucket->entries[bucket->count];
  if (!entry.block) return nullptr;
  --bucket->count;
  *usable = entry.size;
  return entry.block;
}

// `size` > 0 and *block non-null.
template <bool Own = false>
inline bool fileCached(BucketMemoryPool& pool, int32_t size, void** block) {
  if (size > pool.maxPooledSize) return false;
  const SizeClass sizeClass = classOf<Own>(pool, size);
  if (sizeClass.size != size || sizeClass.index >= pool.bucketCount) return false;
  Bucket* bucket = pool.buckets[sizeClass.index];
  if (!bucket || bucket->count + 1 >= bucket->capacity) return false;
  bucket->entries[++bucket->count] = {size, *block};
  *block = nullptr;
  return true;
}

}  // namespace cadence::pool
