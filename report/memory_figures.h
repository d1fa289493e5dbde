// The system's memory figures in KiB, for memory.log.
#pragma once

#include <cstdint>

namespace cadence::report {

// 0 on success, -1 when the query fails, or the memory checker's own result.
int32_t systemMemoryFigures(int64_t* systemFree, int64_t* systemTotal, int64_t* swapFree, int64_t* swapTotal);

}  // namespace cadence::report
