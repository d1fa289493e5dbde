// Pieces shared by the guarded allocation functions: byte sizes that are
// checked before they reach the heap, the memory manager's retry loop, the
// last resort, and the spill of a block to a temporary file.
#pragma once

#include <climits>
#include <cstdint>

namespace VelMM {
class IVelMManager;
}

namespace cadence::guard {

// A heap block's byte size must stay below 2^31 and cannot be negative.
inline bool fitsBlock(int64_t bytes) { return bytes >= 0 && bytes <= INT32_MAX; }

// elemSize x count computed without wrapping; a negative factor or a product
// of 2^31 or more never becomes a block: it takes the last resort with the
// true size.
int64_t checkedBytes(int32_t elemSize, int32_t count);

// Has the installed handler write the report for `bytes` and show the notice
// for `reasonCode`, then ends the process with status -1. A failure raised while the report of an
// earlier one is being written on the same thread ends the process at once.
[[noreturn]] void failForGood(int64_t bytes, int32_t reasonCode);

// After a refused malloc(bytes): while `manager` gives memory back, tries
// again. A manager that has nothing more to give is set to null.
void* retryWithManager(int64_t bytes, VelMM::IVelMManager*& manager);

// malloc(bytes), then retryWithManager when it is refused.
void* mallocWithManager(int64_t bytes, VelMM::IVelMManager*& manager);

// The installed handler's spill (XalOutOfMemoryHandler); without a handler
// the request fails for good.
int32_t spillAndReallocate(void** block, int64_t oldBytes, int64_t bytes, int32_t count, VelMM::IVelMManager* manager);

}  // namespace cadence::guard
