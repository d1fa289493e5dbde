// The bucket memory pool: freed blocks cached by size class and handed out
// again last-in, first-out. Its class layout is shared with the host, whose
// own pool is called through this very declaration.
//
// Every string, array and name buffer of the module is a pooled block. The
// module uses the host's pool when the host offers "IBucketMemoryPool" (the
// service's queryInterface must answer "BucketMemoryPool" with the pool
// object itself); otherwise it makes its own, asks the host again every 601
// allocations, and moves its cached blocks into the host's pool once there
// is one. It keeps a reference on the pool it uses until process exit and
// never returns to its own: a host's pool must live until the process ends.
// The module's own pool lives until that move, or until exit.
#pragma once

#include <cstddef>
#include <cstdint>

#include "cadencehost/vel_object.h"

// The service's name; the pool's operations are on BucketMemoryPool.
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
// pointer to the allocator of the module that made it in its first 8 bytes,
// so a block cached in a host's pool goes back to the heap that made it.
class BucketMemoryAllocator {
 public:
  virtual ~BucketMemoryAllocator();
  // Frees `rawBlock` (the address 8 bytes before the one handed out) under
  // the pool lock. One static allocator per runtime copy, never destroyed
  // before exit.
  virtual void freeBlock(void* rawBlock);
};

class BucketMemoryPool : public virtual IBucketMemoryPool {
 public:
  static constexpr const char* kClassName = "BucketMemoryPool";  // what a host's pool answers

  // The four pool operations come first in the table: hosts call them by slot.

  // Frees every cached block (each through its own allocator) and every
  // bucket; true. Takes no lock: call it when nothing else uses the pool.
  virtual bool purge();
  // A block of at least `size` bytes (0 and above), its usable size in
  // *usable: a cached block of the size class when there is one, else a new
  // one. Never null (the module's guarded allocation ends the process
  // instead). The caller owns it until release.
  virtual void* allocate(int32_t size, int32_t* usable);
  // Takes back *block, handed out with usable size `size`, caches it (or
  // frees it, above the pooled sizes) and sets *block to null; true. False,
  // doing nothing, for a null block or a size of 0.
  virtual bool release(int32_t size, void** block);
  // Switches pooling on or off (off: every block is allocated and freed at
  // once); cached blocks stay. True.
  virtual bool setEnabled(bool enable);

  // The size classes of the pool the module makes for itself, and of a pool
  // made with parameters that do not fit together.
  static constexpr int32_t kDefaultGranularity = 4;
  static constexpr int32_t kDefaultLinearLimit = 8192;
  static constexpr int32_t kDefaultMaxPooledSize = 262144;

  // A pool with the given size classes, count 0. Made while another pool is in use in this runtime copy, it
  // takes over that pool's cached blocks (when the classes agree), releases
  // it and becomes the pool in use.
  BucketMemoryPool(int32_t granularity, int32_t linearLimit, int32_t maxPooledSize);
  // Purges, then frees the bucket table.
  ~BucketMemoryPool() override;
  // A pool made with new comes from the runtime's guarded allocation: when
  // memory runs out, the out-of-memory report and the end of the process,
  // never a std::bad_alloc through a host. (Placement new stays as it is.)
  static void* operator new(std::size_t bytes);
  static void operator delete(void* pool) noexcept;
  static void* operator new(std::size_t, void* where) noexcept { return where; }
  static void operator delete(void*, void*) noexcept {}
  // Answers "BucketMemoryPool" (the object), "IVelUnknown" and
  // "IBucketMemoryPool"; lists "BucketMemoryPool" and "IBucketMemoryPool".
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
