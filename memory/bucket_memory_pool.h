// The bucket memory pool: freed blocks cached by size class and handed out
// again last-in, first-out. Its class layout is shared with the host, whose
// own pool is called through this very declaration.
#pragma once

#include <cstdint>

#include "core/vel_object.h"

class IBucketMemoryPool : public virtual IVelUnknown {
 public:
  static const char* serviceName() { return "IBucketMemoryPool"; }
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

// Frees raw pooled blocks (header included). Every pooled block carries a
// pointer to the allocator of the module that made it in its first 8 bytes.
class BucketMemoryAllocator {
 public:
  virtual ~BucketMemoryAllocator();
  virtual void freeBlock(void* rawBlock);
};

class BucketMemoryPool : public virtual IBucketMemoryPool {
 public:
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
