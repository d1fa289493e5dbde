// Guarded blocks for objects: malloc, the memory manager's help, then the
// last resort with the size that was asked for.
#include "memory/guarded_new.h"

#include <cstdint>

#include "memory/guard_services.h"
#include "memory/xal_internal.h"
#include "platform/heap.h"

namespace cadence::guard {

void* allocateOrFail(std::size_t bytes) {
  if (bytes == 0) bytes = 1;
  if (bytes > static_cast<std::size_t>(INT64_MAX)) failForGood(INT64_MAX, kOomNoMemory);
  void* block = cadence::port::sysMalloc(bytes);
  if (block) return block;
  VelMM::IVelMManager* manager = memoryManager();
  block = retryWithManager(static_cast<int64_t>(bytes), manager);
  if (!block) failForGood(static_cast<int64_t>(bytes), kOomNoMemory);
  return block;
}

void releaseBlock(void* block) {
  if (block) cadence::port::sysFree(block);
}

}  // namespace cadence::guard
