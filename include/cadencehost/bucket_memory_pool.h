// The bucket memory pool: freed blocks cached by size class and handed out
// again last-in, first-out. Its class layout is shared with the host, whose
// own pool is called through this very declaration.
#pragma once

#include <cstddef>
#include <cstdint>

#include "cadencehost/vel_object.h"

class IBucketMemoryPool : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IBucketMemoryPool";
};

struct BucketEntry {
  int32_t size;  // usable size of the cached block (its class size)
  void* block;   // the address handed out
};

struct Bucket {
  int32_t capacity;
  BucketEntry* entries;  // entry 0 unused; 1..count cached
  int32_t count;
};

// The shared layouts (the same under LP64 and LLP64: no `long` in them).
static_assert(sizeof(BucketEntry) == 16 && offsetof(BucketEntry, size) == 0 && offsetof(BucketEntry, block) == 8,
              "BucketEntry layout");
static_assert(sizeof(Bucket) == 24 && offsetof(Bucket, capacity) == 0 && offsetof(Bucket, entries) == 8 &&
                  offsetof(Bucket, count) == 16,
              "Bucket layout");

// Frees raw pooled blocks (header included). Every pooled block carries a
// pointer to the allocator of the module that made it in its first 8 bytes.
class BucketMemoryAllocator {
 public:
  virtual ~BucketMemoryAllocator();
  virtual void freeBlock(void* rawBlock);
};

class BucketMemoryPool : public virtual IBucketMemoryPool {
 public:
  static constexpr const char* kClassName = "BucketMemoryPool";  // what a host's pool answers

  // The four pool operations come first in the table: hosts call them by slot.
  virtual bool purge();
  virtual void* allocate(int32_t size, int32_t* usable);
  virtual bool release(int32_t size, void** block);
  virtual bool setEnabled(bool enable);

  BucketMemoryPool(int32_t granularity, int32_t linearLimit, int32_t maxPooledSize);
  ~BucketMemoryPool() override;
  void queryInterface(const char* name, void* target) override;
  const char* getClassName() override;

  int32_t bucketCount;
  Bucket** buckets;
  int32_t granularity;
  int32_t linearLimit;
  int32_t maxPooledSize;  // negative: pooling off (magnitude keeps the limit)
};

// Bytes of the allocator header in front of every pooled block.
constexpr int32_t kPoolHeaderBytes = 8;
