// The framework's entries to the pool in use: every string and array buffer
// is allocated with poolAllocate and given back with poolFree.
#pragma once

#include <cstdint>

class BucketMemoryPool;

// A pooled block of at least `size` bytes; *usable gets its usable size.
void* poolAllocate(int32_t size, int32_t* usable);

// The same for a size computed in 64 bits: one the pool's 32-bit sizes
// cannot hold goes the out-of-memory way with its true size, never as a
// smaller block.
void* poolAllocateBytes(uint64_t size, int32_t* usable);

// Gives back a block handed out with usable size *usable (nothing when the
// block is null or *usable <= 0); then *block is null and *usable 0.
void poolFree(int32_t* usable, void** block);

template <class T>
inline void poolFreeTyped(int32_t* usable, T** block) {
  void* raw = *block;
  poolFree(usable, &raw);
  *block = static_cast<T*>(raw);
}

// The pool in use, or null before the first poolAllocate.
BucketMemoryPool* poolInUse();
