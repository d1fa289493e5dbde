// The spill of guarded reallocation: a block parked in a temporary file while
// the old block is freed and the new one obtained.
#pragma once

#include <cstdint>

namespace VelMM {
class IVelMManager;
}

namespace cadence::report {

// See XalOutOfMemoryHandler::spillAndReallocate.
int32_t spillAndReallocate(void** block, int64_t oldBytes, int64_t bytes, int32_t count, VelMM::IVelMManager* manager);

}  // namespace cadence::report
