// Library-wide state behind poolAllocate and poolFree: the pool in use,
// whether it is the library's own, and the move of cached blocks between
// pools. Shared by the pool class and the framework entries; every writer
// holds the pool lock.
#pragma once

#include <cstdint>

class BucketMemoryPool;

namespace cadence::pool {

// The pool in use (null before the first allocation). Read without the lock
// only for a quick look; act on it under the pool lock.
BucketMemoryPool* currentPool();
// Replaces the pool in use; the caller holds the pool lock and has settled
// the references. `own`: the new pool is the library's own.
void setCurrentPool(BucketMemoryPool* pool, bool own);
// Whether the pool in use is the library's own.
bool currentPoolIsOwn();
// Allocations made on the library's own pool since it was created or the
// host was last asked.
int32_t ownPoolAllocations();
// Forgets the pool in use without releasing it, so the next allocation
// chooses a pool again (used by a pool being destroyed while in use).
void forgetCurrentPool();

// For tests: the pool state set afresh for a scope (the next allocation
// chooses a pool again), and put back as it was at its end. Pools made
// within the scope are the test's to destroy.
class ScopedPoolState {
 public:
  ScopedPoolState();
  ~ScopedPoolState();
  ScopedPoolState(const ScopedPoolState&) = delete;
  ScopedPoolState& operator=(const ScopedPoolState&) = delete;
  // Forgets the pool in use again, within the scope.
  void startAfresh();

 private:
  struct {
    BucketMemoryPool* current;
    bool currentIsOwn;
    BucketMemoryPool* builtHere;
    int32_t ownAllocations;
  } saved_;
};

// Called by every pool's destructor: a pool in use that is destroyed is
// forgotten rather than left dangling.
void poolDestroyed(BucketMemoryPool* pool);

// Moves every cached block of `from` to `to`: whole buckets into empty slots
// of `to`, entries appended to its occupied ones. Leaves `from` empty.
// The caller holds the pool lock.
void adoptBuckets(BucketMemoryPool& from, BucketMemoryPool& to);

// Hands a pooled block (the address handed out) to the allocator named in
// its header.
void freeThroughHeader(void* block);

}  // namespace cadence::pool
