// Temporary pool entries: plain heap blocks with the allocator header.
#include "memory/pool.h"

#include <cstdlib>

void* poolAllocate(int32_t size, int32_t* usable) {
  char* raw = static_cast<char*>(std::malloc(static_cast<size_t>(size) + 8));
  *usable = size;
  return raw + 8;
}

void poolFree(int32_t* usable, void** block) {
  if (*block && *usable > 0) std::free(static_cast<char*>(*block) - 8);
  *block = nullptr;
  *usable = 0;
}

BucketMemoryPool* poolInUse() { return nullptr; }
